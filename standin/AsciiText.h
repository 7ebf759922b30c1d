// Case folding of ASCII letters only, as Excel compares names whatever the locale.
#pragma once

#include <algorithm>
#include <string>

namespace xlstandin {

inline std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return text;
}

} // namespace xlstandin
