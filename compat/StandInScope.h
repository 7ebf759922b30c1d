// Marks the calling thread as running the stand-in's own code for as long as the object lives, so
// that allocation counts of the library can leave out what the stand-in allocates for itself.
#pragma once

namespace win32compat {

class StandInScope {
public:
    StandInScope();
    ~StandInScope();
    StandInScope(const StandInScope&) = delete;
    StandInScope& operator=(const StandInScope&) = delete;

    static bool Active();
};

} // namespace win32compat
