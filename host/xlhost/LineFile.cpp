#include "LineFile.h"

#include <fstream>
#include <sstream>

namespace xlhost {

bool LineFile::Read(const std::string& path, std::vector<std::string>& lines, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    if (file) {
        contents << file.rdbuf(); // an empty file inserts nothing, which is no failure
    }
    if (!file || file.bad()) {
        error = "cannot read " + path;
        return false;
    }
    lines = Split(contents.str());
    return true;
}

std::vector<std::string> LineFile::Split(const std::string& text) {
    std::vector<std::string> lines;
    // Editors on Windows may begin a UTF-8 file with the byte order mark; it is no character.
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    std::size_t start = text.compare(0, byteOrderMark.size(), byteOrderMark) == 0 ? 3 : 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool LineFile::IsComment(const std::string& line) {
    const std::string trimmed = Trim(line);
    return trimmed.empty() || trimmed[0] == '#';
}

std::string LineFile::Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace xlhost
