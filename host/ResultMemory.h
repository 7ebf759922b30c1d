// The memory behind one record the stand-in hands out: its text, its array of records with their
// texts, or its reference table. Released as a whole when Excel's caller frees the record.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace xlstandin {

class ResultMemory {
public:
    // Zero-initialised storage for count objects of a plain record type, owned by this memory.
    template <typename T> T* Allocate(std::size_t count) {
        auto part = std::make_unique<Part<T>>(count);
        T* items = part->items.data();
        parts_.push_back(std::move(part));
        return items;
    }

    bool Empty() const { return parts_.empty(); }

private:
    struct PartBase {
        virtual ~PartBase() = default;
    };
    template <typename T> struct Part : PartBase {
        explicit Part(std::size_t count) : items(count) {}
        std::vector<T> items;
    };

    std::vector<std::unique_ptr<PartBase>> parts_;
};

} // namespace xlstandin
