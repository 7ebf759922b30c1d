// Windows' message texts name what they are about through inserts ("Bad EXE format for %1."),
// which FormatMessage leaves in place when it is not given their values.
#pragma once

#include <string>

namespace xlhost {

class MessageInserts {
public:
    // The message with every "%1" replaced by first and the other inserts ("%2" to "%99", each
    // with its optional "!format!") left out, the blank before a left-out insert with it.
    static std::string Fill(const std::string& message, const std::string& first);
};

} // namespace xlhost
