#pragma once

#include <vornix/XlfTemporaryMemory.h>

#include <cstddef>

namespace vornix {

// The temporary memory of every thread that makes worksheet calls. Excel runs thread-safe
// functions on several calculation threads at once and reads each result after the function has
// returned, so each thread resets and carves only its own memory: a result stays valid until the
// same thread's next call. An add-in whose calls all come on one thread has one memory, as if
// there were no registry.
//
// The library keeps the memories itself rather than in thread_local objects: Excel's calculation
// threads outlive an add-in that is closed and unloaded, and the destructors of thread_local
// objects of a statically linked DLL may run after the DLL is gone. A thread's memory is
// released when the thread ends (the loader's thread-detach notification), and all of them when
// the gateway is deleted at add-in close or the library is unloaded.
class XlfThreadMemories {
public:
    // The calling thread's memory, made at its first use. Throws std::bad_alloc when none can be
    // had.
    static XlfTemporaryMemory& Current();
    // Releases the calling thread's memory, if it has one: the thread ends.
    static void ReleaseCurrent();
    // Releases every thread's memory; a thread that calls again later starts a new one.
    static void ReleaseAll();
    // Threads that hold a memory now.
    static std::size_t Count();
};

} // namespace vornix
