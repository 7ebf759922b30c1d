#pragma once

namespace vornix {

// Holds the process-wide named mutex "vornix_mutex" for the lifetime of the object. Being named,
// the mutex is shared with every module of the process (and other processes) that opens it.
// Each lock opens and closes its own handle. When the mutex cannot be opened (another object
// holds the name), the lock holds nothing and says so once per process on the error stream;
// neither taking nor releasing it ever throws.
class XlfMutexLock {
public:
    XlfMutexLock();
    ~XlfMutexLock();
    bool Held() const { return handle_ != nullptr; }
    XlfMutexLock(const XlfMutexLock&) = delete;
    XlfMutexLock& operator=(const XlfMutexLock&) = delete;

    static const char* Name();

private:
    void* handle_;
};

} // namespace vornix
