// The lines of a text file, for the files xlhost reads (--cells, --check, --formulas).
#pragma once

#include <string>
#include <vector>

namespace xlhost {

class LineFile {
public:
    // Each line without its end ("\n" or "\r\n"); "-" reads standard input, as bytes. The path
    // is UTF-8; on Windows the file is opened by its wide name. False with one line saying why
    // when the file cannot be read.
    static bool Read(const std::string& path, std::vector<std::string>& lines, std::string& error);
    // Lines of a text, as Read splits a file's contents; a leading UTF-8 byte order mark is
    // skipped.
    static std::vector<std::string> Split(const std::string& text);
    // Blank lines and lines whose first non-blank character is "#" hold nothing to read.
    static bool IsComment(const std::string& line);
    static std::string Trim(const std::string& text);
};

} // namespace xlhost
