#include "AsyncCalls.h"

#include <vornix/ExcelApi.h>

#include <algorithm>
#include <set>

namespace xlstandin {

AsyncCalls::Handle AsyncCalls::Begin() {
    const std::lock_guard<std::mutex> lock(mutex_);
    calls_[++last_] = Call();
    return last_;
}

int AsyncCalls::Return(const std::vector<Handle>& handles, const std::vector<HostValue>& values,
                       bool wideText) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (handles.size() != values.size() || !Takes(handles)) {
            return xlRetInvAsynchronousContext;
        }
        for (std::size_t i = 0; i < handles.size(); ++i) {
            Call& call = calls_[handles[i]];
            call.state = State::Answered;
            call.value = values[i];
            call.wideText = wideText;
        }
    }
    answered_.notify_all();
    return xlretSuccess;
}

// Each handle known, waiting, and given once.
bool AsyncCalls::Takes(const std::vector<Handle>& handles) const {
    if (closed_ || handles.empty() ||
        std::set<Handle>(handles.begin(), handles.end()).size() != handles.size()) {
        return false;
    }
    return std::all_of(handles.begin(), handles.end(), [this](Handle handle) {
        const auto found = calls_.find(handle);
        return found != calls_.end() && found->second.state == State::Waiting;
    });
}

bool AsyncCalls::Wait(const std::vector<Handle>& handles, Deadline deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    return answered_.wait_until(lock, deadline, [&] {
        return std::all_of(handles.begin(), handles.end(), [this](Handle handle) {
            const auto found = calls_.find(handle);
            return found == calls_.end() || found->second.state != State::Waiting;
        });
    });
}

bool AsyncCalls::Answered(Handle handle, HostValue& value, bool& wideText) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = calls_.find(handle);
    if (found == calls_.end() || found->second.state != State::Answered) {
        return false;
    }
    value = found->second.value;
    wideText = found->second.wideText;
    return true;
}

void AsyncCalls::Cancel(Handle handle) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = calls_.find(handle);
    if (found != calls_.end() && found->second.state == State::Waiting) {
        found->second.state = State::Cancelled;
    }
}

void AsyncCalls::Close() {
    const std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
}

void AsyncCalls::Clear() {
    const std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
    closed_ = false;
}

} // namespace xlstandin
