#include "TypeText.h"

#include <cstring>

namespace xlstandin {

namespace {

const char* const letters = "ABCDEFGHIJKLMNOPQRUX";
const char* const widened = "CDFGK"; // letters that take "%" for their Excel 12 form
const char* const flagCharacters = "!$#&";

bool IsOneOf(char c, const char* set) {
    return c != '\0' && std::strchr(set, c) != nullptr;
}

} // namespace

bool TypeText::Parse(const std::string& text, TypeText& parsed) {
    TypeText result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsOneOf(c, flagCharacters)) {
            result.flags_ += c;
        } else if (IsOneOf(c, letters) && result.flags_.empty()) {
            result.types_.emplace_back(1, c);
        } else if (c == '%' && !result.types_.empty() && result.flags_.empty() &&
                   result.types_.back().size() == 1 && IsOneOf(result.types_.back()[0], widened)) {
            result.types_.back() += c;
        } else {
            return false;
        }
    }
    if (result.types_.empty()) {
        return false;
    }
    parsed = result;
    return true;
}

} // namespace xlstandin
