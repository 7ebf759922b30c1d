// The memory behind one record the stand-in hands out: its text, its array of records with their
// texts, or its reference table. Released as a whole when Excel's caller frees the record.
#pragma once

#include <cstddef>
#include <cstring>
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

    // Overwrites every byte with Filler, as the memory is given back.
    void Poison() {
        for (const auto& part : parts_) {
            part->Poison();
        }
    }

    static constexpr unsigned char Filler = 0xDD;

private:
    struct PartBase {
        virtual ~PartBase() = default;
        virtual void Poison() = 0;
    };
    template <typename T> struct Part : PartBase {
        explicit Part(std::size_t count) : items(count) {}
        void Poison() override {
            std::memset(static_cast<void*>(items.data()), Filler, items.size() * sizeof(T));
        }
        std::vector<T> items;
    };

    std::vector<std::unique_ptr<PartBase>> parts_;
};

} // namespace xlstandin
