#pragma once

#include <streambuf>
#include <string>

namespace vornix {

// A stream buffer that hands every flushed piece of text to an attached debugger through the
// Windows debug-output channel. Inside Excel the error stream goes nowhere; the add-in points it
// here. There is no put area, so every character arrives through overflow; the error stream is
// unit-buffered, so each insertion is flushed as a debug string of its own. Without a debugger
// the text is dropped at each flush rather than accumulated.
class Win32StreamBuf : public std::streambuf {
public:
    Win32StreamBuf() = default;
    ~Win32StreamBuf() override = default;

    // Characters received since the last flush.
    const std::string& Pending() const { return pending_; }

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    void FlushToDebugger();

    std::string pending_;
};

} // namespace vornix
