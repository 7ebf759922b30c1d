#pragma once

#include <cstdint>
#include <list>
#include <vector>

namespace vornix {

// Memory for the value records the library hands to Excel. Excel reads a function's result after
// the function has returned, so records are carved from large buffers and released in bulk at
// the start of the next worksheet call instead of one by one.
//
// Buffers grow by a factor of 1.5 from 8192 bytes; a request never straddles two buffers and the
// newest buffer is the front of the list. A reset keeps the newest (largest) buffer, so in steady
// state one buffer serves every call. Both operations run under the named mutex "vornix_mutex".
class XlfTemporaryMemory {
public:
    static constexpr std::uint32_t FirstBufferSize = 8192;
    // Blocks start on this boundary so that the records carved from them may hold doubles and
    // pointers.
    static constexpr std::uint32_t Alignment = 8;
    // The last size of the growth sequence that 32 bits hold; a request of this size or more can
    // never be served. Worked out once, at compile time, as the growth computes it.
    static const std::uint32_t LargestBufferSize;

    XlfTemporaryMemory() = default;
    ~XlfTemporaryMemory();
    XlfTemporaryMemory(const XlfTemporaryMemory&) = delete;
    XlfTemporaryMemory& operator=(const XlfTemporaryMemory&) = delete;

    // n bytes, valid until the next reset. Never null: a request that cannot be served, also one
    // whose buffer size would overflow 32 bits, throws std::bad_alloc.
    char* Get(std::uint32_t n);
    // Releases every buffer but the newest (finished: every buffer) and starts over at offset 0.
    void Release(bool finished);

    // Sizes of the buffers held, newest first, and the bytes used in the newest.
    std::vector<std::uint32_t> BufferSizes() const;
    std::uint32_t Offset() const { return offset_; }

private:
    struct MemoryBuffer {
        std::uint32_t size;
        char* start;
    };

    void AddBuffer(std::uint32_t size);
    static std::uint32_t GrownSize(std::uint32_t size);
    static std::uint64_t AlignUp(std::uint64_t offset);

    std::list<MemoryBuffer> buffers_;
    std::uint32_t offset_ = 0;
};

} // namespace vornix
