#include "FormulaFile.h"

#include "UnicodeText.h"

#include <cstdio>
#include <memory>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace xlhost {

namespace {

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::FILE* Open(const std::string& name) {
#ifdef _WIN32
    const std::u16string wide = xlstandin::UnicodeText::FromUtf8(name);
    return _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"rb");
#else
    return std::fopen(name.c_str(), "rb");
#endif
}

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ReadAll(std::FILE* file, std::string& content) {
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, read);
    }
    return std::ferror(file) == 0;
}

} // namespace

std::vector<std::string> FormulaFile::Formulas(const std::string& content) {
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    std::vector<std::string> formulas;
    std::size_t start = content.compare(0, 3, byteOrderMark) == 0 ? 3 : 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        end = end == std::string::npos ? content.size() : end;
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!IsBlank(line) && line[line.find_first_not_of(" \t")] != '#') {
            formulas.push_back(line);
        }
        start = end + 1;
    }
    return formulas;
}

bool FormulaFile::Read(const std::string& name, std::string& content) {
    content.clear();
    if (name == "-") {
#ifdef _WIN32
        _setmode(_fileno(stdin), _O_BINARY);
#endif
        return ReadAll(stdin, content);
    }
    const std::unique_ptr<std::FILE, Closer> file(Open(name));
    return file != nullptr && ReadAll(file.get(), content);
}

} // namespace xlhost
