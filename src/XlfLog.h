#pragma once

#include <ostream>

namespace vornix {

// Diagnostic lines: a location prefix, the message and an end of line on the process error
// stream, which the add-in routes to an attached debugger. The prefix is written as one piece,
// so that it reaches the debugger as one string.
class XlfLog {
public:
    // Writes "..\..\src\<unit>(<line>): " to std::cerr and returns the stream for the message.
    static std::ostream& At(const char* unit, int line);
};

} // namespace vornix
