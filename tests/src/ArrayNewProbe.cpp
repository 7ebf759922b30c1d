#include "ArrayNewProbe.h"

#include <cstdlib>
#include <new>

namespace {

int allocations = 0;
int releases = 0;
int successesBeforeFailure = -1; // -1: disarmed

void* AllocateArray(std::size_t size) {
    if (successesBeforeFailure == 0) {
        successesBeforeFailure = -1;
        throw std::bad_alloc();
    }
    if (successesBeforeFailure > 0)
        --successesBeforeFailure;
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr)
        throw std::bad_alloc();
    ++allocations;
    return memory;
}

void ReleaseArray(void* memory) {
    if (memory != nullptr)
        ++releases;
    std::free(memory);
}

} // namespace

// The nothrow forms are replaced too, so that every array form pairs with these deletions.
void* operator new[](std::size_t size) {
    return AllocateArray(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return AllocateArray(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete[](void* memory) noexcept {
    ReleaseArray(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    ReleaseArray(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    ReleaseArray(memory);
}

namespace vornix_test {

ArrayNewProbe::ArrayNewProbe() : allocationsAtStart_(allocations), releasesAtStart_(releases) {}

ArrayNewProbe::~ArrayNewProbe() {
    successesBeforeFailure = -1;
}

void ArrayNewProbe::FailAfter(int successes) {
    successesBeforeFailure = successes;
}

int ArrayNewProbe::Allocations() const {
    return allocations - allocationsAtStart_;
}

int ArrayNewProbe::Releases() const {
    return releases - releasesAtStart_;
}

} // namespace vornix_test
