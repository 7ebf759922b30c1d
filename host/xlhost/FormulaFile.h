// The formulas of a file or of standard input (--formulas): one a line, in UTF-8.
#pragma once

#include <string>
#include <vector>

namespace xlhost {

class FormulaFile {
public:
    // The formulas of the text, in order: a byte order mark, line ends ("\n" or "\r\n"), blank
    // lines and lines whose first character is "#" are left out.
    static std::vector<std::string> Formulas(const std::string& content);
    // The whole file ("-": standard input, read as bytes); false when it cannot be read. The
    // name is UTF-8; on Windows the file is opened by its wide name.
    static bool Read(const std::string& name, std::string& content);
};

} // namespace xlhost
