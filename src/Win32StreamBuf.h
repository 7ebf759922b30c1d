#pragma once

#include <mutex>
#include <streambuf>
#include <string>

namespace vornix {

// A stream buffer that hands every flushed piece of text to an attached debugger through the
// Windows debug-output channel. Inside Excel the error stream goes nowhere; the add-in points it
// here. There is no put area, so every character arrives through overflow; the error stream is
// unit-buffered, so each insertion is flushed as a debug string of its own. Without a debugger
// the text is dropped at each flush rather than accumulated. Writers on several threads are
// serialised here; whole lines are XlfLog's to keep.
class Win32StreamBuf : public std::streambuf {
public:
    Win32StreamBuf() = default;
    ~Win32StreamBuf() override = default;

    // Characters received since the last flush.
    std::string Pending() const;

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    // Called with the lock held.
    void FlushToDebugger();

    mutable std::mutex lock_;
    std::string pending_;
};

} // namespace vornix
