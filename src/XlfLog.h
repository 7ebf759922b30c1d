#pragma once

#include <ostream>

namespace vornix {

// Diagnostic lines: a location prefix, the message and an end of line on the process error
// stream, which the add-in routes to an attached debugger. The prefix is written as one piece,
// so that it reaches the debugger as one string.
class XlfLog {
public:
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
    };

    // Writes "..\..\src\<unit>(<line>): " to std::cerr and returns the stream for the message.
    static std::ostream& At(const char* unit, int line);
    // Writes the site's prefix and returns the stream for the message.
    static std::ostream& At(Site site);
};

} // namespace vornix
