// Thread-local storage slots and the thread-end notification of TLS callbacks.
//
// Each slot has a generation, counted up when it is allocated and when it is freed; a thread's
// value counts only while it was set in the slot's current generation, so allocating or freeing a
// slot makes it null in every thread at once, as on Windows.
#include <Win32Compat.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

// Windows guarantees at least 64 slots per process.
constexpr DWORD SlotCount = 64;

struct Slots {
    std::mutex lock;
    std::array<bool, SlotCount> used{};
    std::array<std::atomic<unsigned long long>, SlotCount> generations{};
    std::vector<PIMAGE_TLS_CALLBACK> callbacks;
};

Slots& TheSlots() {
    static Slots slots;
    return slots;
}

struct Value {
    unsigned long long generation = 0;
    LPVOID value = nullptr;
};

void NotifyThreadEnd();

// The calling thread's values; its destructor is the thread's end.
struct ThreadValues {
    std::array<Value, SlotCount> values{};
    bool notify = false;

    ~ThreadValues() {
        if (notify) {
            NotifyThreadEnd();
        }
    }
};

ThreadValues& Own() {
    thread_local ThreadValues values;
    return values;
}

void NotifyThreadEnd() {
    std::vector<PIMAGE_TLS_CALLBACK> callbacks;
    {
        Slots& slots = TheSlots();
        std::lock_guard<std::mutex> guard(slots.lock);
        callbacks = slots.callbacks;
    }
    for (PIMAGE_TLS_CALLBACK callback : callbacks) {
        callback(nullptr, DLL_THREAD_DETACH, nullptr);
    }
}

bool IsAllocated(Slots& slots, DWORD index) {
    std::lock_guard<std::mutex> guard(slots.lock);
    return index < SlotCount && slots.used[index];
}

} // namespace

DWORD WINAPI TlsAlloc() {
    Slots& slots = TheSlots();
    std::lock_guard<std::mutex> guard(slots.lock);
    for (DWORD index = 0; index < SlotCount; ++index) {
        if (!slots.used[index]) {
            slots.used[index] = true;
            ++slots.generations[index];
            return index;
        }
    }
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return TLS_OUT_OF_INDEXES;
}

BOOL WINAPI TlsFree(DWORD index) {
    Slots& slots = TheSlots();
    std::lock_guard<std::mutex> guard(slots.lock);
    if (index >= SlotCount || !slots.used[index]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    slots.used[index] = false;
    ++slots.generations[index];
    return TRUE;
}

LPVOID WINAPI TlsGetValue(DWORD index) {
    if (index >= SlotCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const Value& own = Own().values[index];
    SetLastError(ERROR_SUCCESS);
    return own.generation == TheSlots().generations[index].load() ? own.value : nullptr;
}

BOOL WINAPI TlsSetValue(DWORD index, LPVOID value) {
    Slots& slots = TheSlots();
    if (!IsAllocated(slots, index)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ThreadValues& own = Own();
    own.values[index] = Value{slots.generations[index].load(), value};
    own.notify = true;
    return TRUE;
}

namespace win32compat {

bool AddTlsCallback(PIMAGE_TLS_CALLBACK callback) {
    Slots& slots = TheSlots();
    std::lock_guard<std::mutex> guard(slots.lock);
    slots.callbacks.push_back(callback);
    return true;
}

} // namespace win32compat
