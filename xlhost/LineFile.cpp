#include "LineFile.h"

#include "UnicodeText.h"

#include <cstdio>
#include <memory>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace xlhost {

namespace {

std::FILE* Open(const std::string& path) {
#ifdef _WIN32
    const std::u16string wide = xlstandin::UnicodeText::FromUtf8(path);
    return _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ReadAll(std::FILE* file, std::string& contents) {
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        contents.append(buffer, read);
    }
    return std::ferror(file) == 0;
}

bool ReadContents(const std::string& path, std::string& contents) {
    if (path == "-") {
#ifdef _WIN32
        _setmode(_fileno(stdin), _O_BINARY);
#endif
        return ReadAll(stdin, contents);
    }
    const std::unique_ptr<std::FILE, Closer> file(Open(path));
    return file != nullptr && ReadAll(file.get(), contents);
}

} // namespace

bool LineFile::Read(const std::string& path, std::vector<std::string>& lines, std::string& error) {
    std::string contents;
    if (!ReadContents(path, contents)) {
        error = "cannot read " + (path == "-" ? std::string("standard input") : path);
        return false;
    }
    lines = Split(contents);
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
