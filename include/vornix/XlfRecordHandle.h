#pragma once

#include <cstdint>

namespace vornix {

// A value wrapper's record pointer, and whether the wrapper made that record itself (or had it
// moved in from the wrapper that did). Only the maker gives back what Excel put into its record;
// a wrapper of a record pointer handed to it (an argument, an array element, another wrapper's
// record) never does. The mark is the pointer's lowest bit, which records never use: the records
// a wrapper makes come from temporary memory on an 8-byte boundary, and every record holds
// pointers or doubles. So a wrapper stays one pointer in size.
class XlfRecordHandle {
public:
    XlfRecordHandle() = default;
    XlfRecordHandle(void* record, bool made)
        : bits_(reinterpret_cast<std::uintptr_t>(record) | (made ? MadeBit : 0)) {}

    template <typename Record = void> Record* Get() const {
        return static_cast<Record*>(reinterpret_cast<void*>(bits_ & ~MadeBit));
    }
    bool Made() const { return (bits_ & MadeBit) != 0; }
    // Hands the record on and leaves this handle empty.
    XlfRecordHandle Take() {
        const XlfRecordHandle taken = *this;
        bits_ = 0;
        return taken;
    }

private:
    static constexpr std::uintptr_t MadeBit = 1;

    std::uintptr_t bits_ = 0;
};

} // namespace vornix
