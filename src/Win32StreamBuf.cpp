#include "Win32StreamBuf.h"

#include <windows.h>

namespace vornix {

std::string Win32StreamBuf::Pending() const {
    std::lock_guard<std::mutex> guard(lock_);
    return pending_;
}

Win32StreamBuf::int_type Win32StreamBuf::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) {
        return sync() == 0 ? traits_type::not_eof(ch) : traits_type::eof();
    }
    std::lock_guard<std::mutex> guard(lock_);
    pending_.push_back(traits_type::to_char_type(ch));
    return traits_type::not_eof(ch);
}

int Win32StreamBuf::sync() {
    std::lock_guard<std::mutex> guard(lock_);
    FlushToDebugger();
    pending_.clear();
    return 0;
}

void Win32StreamBuf::FlushToDebugger() {
    if (IsDebuggerPresent() && !pending_.empty())
        OutputDebugStringA(pending_.c_str());
}

} // namespace vornix
