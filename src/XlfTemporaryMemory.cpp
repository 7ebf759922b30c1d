#include <vornix/XlfTemporaryMemory.h>

#include "XlfMutexLock.h"

#include <limits>
#include <new>

namespace vornix {

namespace {

// The growth step in floating point, truncated toward zero; 0 once it leaves 32 bits.
constexpr std::uint32_t GrowthStep(std::uint32_t size) {
    const double grown = static_cast<double>(size) * 1.5;
    return grown > static_cast<double>(std::numeric_limits<std::uint32_t>::max())
               ? 0
               : static_cast<std::uint32_t>(grown);
}

constexpr std::uint32_t LastSizeOfGrowth() {
    std::uint32_t size = XlfTemporaryMemory::FirstBufferSize;
    while (GrowthStep(size) != 0)
        size = GrowthStep(size);
    return size;
}

} // namespace

const std::uint32_t XlfTemporaryMemory::LargestBufferSize = LastSizeOfGrowth();

XlfTemporaryMemory::~XlfTemporaryMemory() {
    Release(true);
}

char* XlfTemporaryMemory::Get(std::uint32_t n) {
    // A request no buffer of the growth sequence can hold fails before any buffer is added.
    if (n >= LargestBufferSize)
        throw std::bad_alloc();
    XlfMutexLock lock;
    if (buffers_.empty())
        AddBuffer(FirstBufferSize);
    for (;;) {
        const MemoryBuffer& front = buffers_.front();
        // 64-bit arithmetic: offset + n must not wrap around and pass the test by accident.
        const std::uint64_t position = AlignUp(offset_);
        if (position + n < front.size) {
            offset_ = static_cast<std::uint32_t>(position + n);
            return front.start + position;
        }
        AddBuffer(GrownSize(front.size));
    }
}

void XlfTemporaryMemory::Release(bool finished) {
    XlfMutexLock lock;
    const std::size_t keep = finished ? 0 : 1;
    while (buffers_.size() > keep) {
        delete[] buffers_.back().start;
        buffers_.pop_back();
    }
    offset_ = 0;
}

std::vector<std::uint32_t> XlfTemporaryMemory::BufferSizes() const {
    std::vector<std::uint32_t> sizes;
    for (const MemoryBuffer& buffer : buffers_)
        sizes.push_back(buffer.size);
    return sizes;
}

void XlfTemporaryMemory::AddBuffer(std::uint32_t size) {
    buffers_.push_front(MemoryBuffer{size, nullptr});
    try {
        buffers_.front().start = new char[size];
    } catch (...) {
        buffers_.pop_front();
        throw;
    }
    offset_ = 0;
}

std::uint32_t XlfTemporaryMemory::GrownSize(std::uint32_t size) {
    const std::uint32_t grown = GrowthStep(size);
    if (grown == 0)
        throw std::bad_alloc();
    return grown;
}

std::uint64_t XlfTemporaryMemory::AlignUp(std::uint64_t offset) {
    return (offset + Alignment - 1) / Alignment * Alignment;
}

} // namespace vornix
