// Watches and steers the array allocations (operator new[]) of the whole test executable, so that
// tests can count what code allocates and make an allocation fail. This unit replaces the global
// array forms of operator new and delete; unless armed they simply allocate and free.
#pragma once

namespace vornix_test {

class ArrayNewProbe {
public:
    // Counts from zero; nothing is made to fail until FailAfter is called.
    ArrayNewProbe();
    // Disarms a pending failure.
    ~ArrayNewProbe();
    ArrayNewProbe(const ArrayNewProbe&) = delete;
    ArrayNewProbe& operator=(const ArrayNewProbe&) = delete;

    // After `successes` more array allocations, the next one throws std::bad_alloc; later ones
    // succeed again.
    void FailAfter(int successes);

    // Array allocations that succeeded, and non-null array deletions, since construction.
    int Allocations() const;
    int Releases() const;
    int Outstanding() const { return Allocations() - Releases(); }

private:
    int allocationsAtStart_;
    int releasesAtStart_;
};

} // namespace vornix_test
