#include "XlfThreadMemories.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#ifndef _WIN32
#include <Win32Compat.h>
#endif

namespace vornix {

namespace {

// The memories, and the TLS slot in which each thread finds its own. The slot is allocated with
// the first memory and freed with the last: Windows sets a slot to null in every thread both
// when it is allocated and when it is freed, so no thread can find a memory released by
// ReleaseAll. The slot is read without the lock; it changes only when every memory goes, at
// add-in close or unload, when Excel makes no worksheet calls.
struct Registry {
    std::mutex lock;
    std::vector<std::unique_ptr<XlfTemporaryMemory>> memories;
    std::atomic<DWORD> slot{TLS_OUT_OF_INDEXES};

    ~Registry() { Clear(); }

    // Called with the lock held.
    void Clear() {
        memories.clear();
        const DWORD held = slot.exchange(TLS_OUT_OF_INDEXES);
        if (held != TLS_OUT_OF_INDEXES) {
            TlsFree(held);
        }
    }
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

XlfTemporaryMemory* Found(DWORD slot) {
    return slot == TLS_OUT_OF_INDEXES ? nullptr
                                      : static_cast<XlfTemporaryMemory*>(TlsGetValue(slot));
}

XlfTemporaryMemory& Add(Registry& registry) {
    std::lock_guard<std::mutex> guard(registry.lock);
    DWORD slot = registry.slot.load();
    if (slot == TLS_OUT_OF_INDEXES) {
        slot = TlsAlloc();
        if (slot == TLS_OUT_OF_INDEXES) {
            throw std::bad_alloc();
        }
        registry.slot.store(slot);
    }
    registry.memories.push_back(std::make_unique<XlfTemporaryMemory>());
    XlfTemporaryMemory* memory = registry.memories.back().get();
    if (!TlsSetValue(slot, memory)) {
        registry.memories.pop_back();
        throw std::bad_alloc();
    }
    return *memory;
}

// The loader calls this for every thread of the process as it ends, and at unload.
void NTAPI OnThreadEvent(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_DETACH) {
        XlfThreadMemories::ReleaseCurrent();
    }
}

} // namespace

} // namespace vornix

#ifdef _WIN32
// A TLS callback, unlike DllMain, leaves the add-in's own DllMain to its author and is called in
// executables as well. The linker gathers the callbacks of the sections .CRT$XLA to .CRT$XLZ.
extern "C" __attribute__((used, section(".CRT$XLV"))) const PIMAGE_TLS_CALLBACK vornixThreadDetach =
    vornix::OnThreadEvent;
#else
// Natively the Win32 stand-in plays the loader's part.
namespace {
[[maybe_unused]] const bool threadDetachAdded = win32compat::AddTlsCallback(vornix::OnThreadEvent);
}
#endif

namespace vornix {

XlfTemporaryMemory& XlfThreadMemories::Current() {
    Registry& registry = TheRegistry();
    XlfTemporaryMemory* memory = Found(registry.slot.load(std::memory_order_acquire));
    return memory != nullptr ? *memory : Add(registry);
}

void XlfThreadMemories::ReleaseCurrent() {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    const DWORD slot = registry.slot.load();
    XlfTemporaryMemory* memory = Found(slot);
    if (memory == nullptr) {
        return;
    }
    TlsSetValue(slot, nullptr);
    auto& memories = registry.memories;
    memories.erase(std::find_if(memories.begin(), memories.end(),
                                [memory](const auto& held) { return held.get() == memory; }));
}

void XlfThreadMemories::ReleaseAll() {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    registry.Clear();
}

std::size_t XlfThreadMemories::Count() {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    return registry.memories.size();
}

} // namespace vornix
