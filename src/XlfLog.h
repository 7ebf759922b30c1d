#pragma once

#include <mutex>
#include <ostream>
#include <utility>

namespace vornix {

// Diagnostic lines: a location prefix, the message and an end of line on the process error
// stream, which the add-in routes to an attached debugger. The prefix is written as one piece,
// so that it reaches the debugger as one string.
//
// Worksheet calls run on several threads at once; a line holds a process-wide lock from its
// prefix to the end of the statement that writes it, so that lines of several threads never mix.
// The lock is recursive: a value written into a line may write a line of its own.
class XlfLog {
public:
    class Line {
    public:
        explicit Line(std::unique_lock<std::recursive_mutex> lock) : lock_(std::move(lock)) {}

        template <typename Value> Line& operator<<(const Value& value) {
            Stream() << value;
            return *this;
        }
        Line& operator<<(std::ostream& (*manipulator)(std::ostream&)) {
            manipulator(Stream());
            return *this;
        }

    private:
        static std::ostream& Stream();

        std::unique_lock<std::recursive_mutex> lock_;
    };

    // The places that write a diagnostic line; each has its fixed prefix (XlfLog.cpp).
    enum Site {
        OpenRedirected,
        OpenPathUnreadable,
        OpenModuleUnknown,
        OpenPathNotSet,
        OpenPathSet,
        OpenPathWarning,
        CloseReleasing,
        ArgumentNameLong,
        RegisterFailed,
        UnregisterFailed,
        NameUnknown,
        MutexUnavailable,
        Free4Failed,
        Free12Failed,
        FreeOper4Failed,
        String4Truncated,
        WideString4Truncated,
        StringOper4Truncated,
        ThreadSafeDropped,
    };

    // Writes "..\..\src\<unit>(<line>): " to std::cerr and returns the line for the message.
    static Line At(const char* unit, int line);
    // Writes the site's prefix and returns the line for the message.
    static Line At(Site site);
};

} // namespace vornix
