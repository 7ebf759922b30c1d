#include "XlfMutexLock.h"

#include <windows.h>

#include <stdexcept>

namespace vornix {

const char* XlfMutexLock::Name() {
    return "vornix_mutex";
}

XlfMutexLock::XlfMutexLock() : handle_(CreateMutexA(nullptr, FALSE, Name())) {
    // Without the mutex there is nothing to serialise on; carrying on unlocked could corrupt
    // temporary memory shared with another caller.
    if (handle_ == nullptr)
        throw std::runtime_error("Could not open the mutex vornix_mutex");
    WaitForSingleObject(handle_, INFINITE);
}

XlfMutexLock::~XlfMutexLock() {
    ReleaseMutex(handle_);
    CloseHandle(handle_);
}

} // namespace vornix
