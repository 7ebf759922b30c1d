// Counts the heap allocations (global operator new and malloc) that the library makes while
// counting is on: those the stand-ins of Windows and Excel make for themselves are left out, since
// the real Windows and Excel do not allocate in the add-in's heap.
#pragma once

class AllocationCounter {
public:
    static void Start();
    static void Stop();
    static unsigned long long Count();

    // Called by the replaced allocation functions.
    static void Note();
};
