#include "XlfMutexLock.h"

#include "XlfLog.h"

#include <windows.h>

#include <atomic>
#include <ostream>

namespace vornix {

namespace {

// Another program on the desktop may hold an object of our name that is not a mutex. Excel must
// not go down over it: the operations go on unlocked, and the error stream hears of it once.
void ReportUnlocked() {
    static std::atomic<bool> reported{false};
    const DWORD error = GetLastError();
    if (reported.exchange(true))
        return;
    try {
        XlfLog::At(XlfLog::MutexUnavailable)
            << "Could not open the mutex vornix_mutex (error " << error
            << "); temporary memory is used without the lock" << std::endl;
    } catch (...) {
        // A log line is not worth an exception in a destructor's path.
    }
}

} // namespace

const char* XlfMutexLock::Name() {
    return "vornix_mutex";
}

XlfMutexLock::XlfMutexLock() : handle_(CreateMutexA(nullptr, FALSE, Name())) {
    if (handle_ == nullptr) {
        ReportUnlocked();
        return;
    }
    WaitForSingleObject(handle_, INFINITE);
}

XlfMutexLock::~XlfMutexLock() {
    if (handle_ == nullptr)
        return;
    ReleaseMutex(handle_);
    CloseHandle(handle_);
}

} // namespace vornix
