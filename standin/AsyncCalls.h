// The asynchronous calls of a calculation (functions registered with the type code X, Excel 2010
// and later): each call gets a handle, and the add-in hands the value over later through
// xlAsyncReturn with that handle, from any thread. Every member may be used from any thread.
#pragma once

#include "HostValue.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace xlstandin {

// The function number of xlAsyncReturn, and the code it answers for a handle Excel does not
// take (xlRetInvAsynchronousContext).
constexpr int xlAsyncReturn = 16 | 0x4000;
constexpr int xlRetInvAsynchronousContext = 256;

class AsyncCalls {
public:
    using Handle = std::uintptr_t;
    using Deadline = std::chrono::steady_clock::time_point;

    // A handle of a call whose value is still to come. Handles are never used twice in a
    // process, not even after Clear.
    Handle Begin();
    // xlAsyncReturn: the values for their handles, in the same order; all or none are taken.
    // xlRetInvAsynchronousContext when a handle is unknown, already answered, cancelled or
    // given twice, or once the calls are closed.
    int Return(const std::vector<Handle>& handles, const std::vector<HostValue>& values,
               bool wideText);
    // Waits until every handle has its value or the deadline has passed; true when every one
    // has.
    bool Wait(const std::vector<Handle>& handles, Deadline deadline);
    // The value of an answered handle; false while it has none.
    bool Answered(Handle handle, HostValue& value, bool& wideText) const;
    // The handle's value comes too late from now on.
    void Cancel(Handle handle);
    // Every answer comes too late from now on (the add-in is being closed).
    void Close();
    // Forgets every call and takes answers again.
    void Clear();

private:
    enum class State { Waiting, Answered, Cancelled };
    struct Call {
        State state = State::Waiting;
        HostValue value;
        bool wideText = false;
    };

    bool Takes(const std::vector<Handle>& handles) const;

    mutable std::mutex mutex_;
    std::condition_variable answered_;
    std::map<Handle, Call> calls_;
    Handle last_ = 0;
    bool closed_ = false;
};

} // namespace xlstandin
