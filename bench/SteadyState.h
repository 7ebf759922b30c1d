// A long run of worksheet calls, every case in turn, in Excel 12 mode: the process's resident
// memory before and after, the library's heap allocations, and the buffers temporary memory
// holds at the end. In steady state memory stays flat and one buffer serves every call.
#pragma once

#include <cstddef>
#include <ostream>

class SteadyState {
public:
    static constexpr long Calls = 1000000;
    // Growth of resident memory still counted as flat (page-granular noise of the allocator).
    static constexpr long FlatBytes = 64 * 1024;

    // Prints the figures; returns whether memory stayed flat with one buffer and no allocation.
    static bool Run(std::ostream& out);

private:
    static long ResidentBytes();
};
