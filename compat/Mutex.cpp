// Kernel mutex objects (and events, as mere holders of a name) behind handles: owned by one thread
// at a time, recursive, named objects shared by everyone who opens the same name (names are
// case-sensitive, as kernel object names).
//
// Not modelled: abandonment. A mutex whose owning thread ends without releasing it stays owned;
// waiters time out or wait forever instead of receiving WAIT_ABANDONED.
#include "ExcelStandInScope.h"

#include <Win32Compat.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace {

// std::thread::id values are reused after a thread ends; these are not, so a new thread can
// never inherit ownership left behind by an old one.
using ThreadTag = std::uint64_t;
constexpr ThreadTag noThread = 0;

ThreadTag CurrentThread() {
    static std::atomic<ThreadTag> next{1};
    thread_local const ThreadTag tag = next++;
    return tag;
}

struct MutexObject {
    std::string name;
    bool isMutex = true; // an event otherwise, which only holds its name
    ThreadTag owner = noThread;
    unsigned long recursion = 0;
    int openHandles = 0;
    std::condition_variable released;
};

// Handle values are multiples of 4 like real ones, and never reused, so a closed handle stays
// invalid.
constexpr UINT_PTR firstHandleValue = 0x1000;
constexpr UINT_PTR handleStep = 4;

struct HandleTable {
    std::mutex lock;
    std::map<HANDLE, std::shared_ptr<MutexObject>> handles;
    std::map<std::string, std::weak_ptr<MutexObject>> named;
    UINT_PTR nextHandleValue = firstHandleValue;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

// Called with the lock held.
HANDLE OpenHandle(HandleTable& table, const std::shared_ptr<MutexObject>& object) {
    HANDLE handle = reinterpret_cast<HANDLE>(table.nextHandleValue);
    table.nextHandleValue += handleStep;
    table.handles[handle] = object;
    ++object->openHandles;
    return handle;
}

std::shared_ptr<MutexObject> FindNamed(HandleTable& table, const std::string& name) {
    const auto found = table.named.find(name);
    return found == table.named.end() ? nullptr : found->second.lock();
}

std::shared_ptr<MutexObject> FindHandle(HandleTable& table, HANDLE handle) {
    const auto found = table.handles.find(handle);
    return found == table.handles.end() ? nullptr : found->second;
}

void Acquire(MutexObject& object) {
    object.owner = CurrentThread();
    ++object.recursion;
}

bool IsAvailable(const MutexObject& object) {
    return object.owner == noThread || object.owner == CurrentThread();
}

// Waits with the table lock held by `guard`; false when the time ran out first.
bool WaitUntilAvailable(std::unique_lock<std::mutex>& guard, MutexObject& object,
                        DWORD milliseconds) {
    const auto available = [&object] { return IsAvailable(object); };
    if (milliseconds == INFINITE) {
        object.released.wait(guard, available);
        return true;
    }
    return object.released.wait_for(guard, std::chrono::milliseconds(milliseconds), available);
}

} // namespace

namespace win32compat {

int OpenMutexHandleCount() {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    return static_cast<int>(table.handles.size());
}

} // namespace win32compat

// Opening an existing name ignores initialOwner, as Windows does: the creator decided that.
HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES /*attributes*/, BOOL initialOwner, LPCSTR name) {
    win32compat::CountMutexOpen();
    const win32compat::ExcelStandInScope standIn;
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const bool named = name != nullptr && *name != '\0';
    if (named) {
        if (auto existing = FindNamed(table, name)) {
            if (!existing->isMutex) {
                SetLastError(ERROR_INVALID_HANDLE); // as Windows: the name is another object's
                return nullptr;
            }
            SetLastError(ERROR_ALREADY_EXISTS);
            return OpenHandle(table, existing);
        }
    }
    auto object = std::make_shared<MutexObject>();
    if (named) {
        object->name = name;
        table.named[name] = object;
    }
    if (initialOwner) {
        Acquire(*object);
    }
    SetLastError(ERROR_SUCCESS);
    return OpenHandle(table, object);
}

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES /*attributes*/, BOOL /*manualReset*/,
                           BOOL /*initialState*/, LPCSTR name) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const bool named = name != nullptr && *name != '\0';
    if (named) {
        if (auto existing = FindNamed(table, name)) {
            if (existing->isMutex) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            SetLastError(ERROR_ALREADY_EXISTS);
            return OpenHandle(table, existing);
        }
    }
    auto object = std::make_shared<MutexObject>();
    object->isMutex = false;
    if (named) {
        object->name = name;
        table.named[name] = object;
    }
    SetLastError(ERROR_SUCCESS);
    return OpenHandle(table, object);
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    win32compat::CountMutexWait();
    const win32compat::ExcelStandInScope standIn;
    HandleTable& table = Table();
    std::unique_lock<std::mutex> guard(table.lock);
    // Holding a reference keeps the object alive even if its last handle closes meanwhile.
    const std::shared_ptr<MutexObject> object = FindHandle(table, handle);
    if (object == nullptr || !object->isMutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    if (!WaitUntilAvailable(guard, *object, milliseconds)) {
        return WAIT_TIMEOUT;
    }
    Acquire(*object);
    return WAIT_OBJECT_0;
}

BOOL WINAPI ReleaseMutex(HANDLE mutex) {
    win32compat::CountMutexRelease();
    const win32compat::ExcelStandInScope standIn;
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const std::shared_ptr<MutexObject> object = FindHandle(table, mutex);
    if (object == nullptr || !object->isMutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->owner != CurrentThread()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (--object->recursion == 0) {
        object->owner = noThread;
        object->released.notify_all();
    }
    return TRUE;
}

// The name disappears with the last handle, so a later CreateMutexA makes a fresh object.
BOOL WINAPI CloseHandle(HANDLE handle) {
    win32compat::CountHandleClose();
    const win32compat::ExcelStandInScope standIn;
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.handles.find(handle);
    if (found == table.handles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const std::shared_ptr<MutexObject> object = found->second;
    table.handles.erase(found);
    if (--object->openHandles == 0 && !object->name.empty()) {
        table.named.erase(object->name);
    }
    return TRUE;
}
