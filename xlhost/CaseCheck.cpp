#include "CaseCheck.h"

#include <charconv>
#include <cmath>

namespace xlhost {

namespace {

// Excel shows at most 15 significant digits.
constexpr int significantDigits = 15;

bool ReadNumber(const std::string& text, double& number) {
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, number);
    return !text.empty() && read.ec == std::errc() && read.ptr == end && std::isfinite(number);
}

std::string Rounded(double number) {
    char digits[40];
    const auto end = std::to_chars(digits, digits + sizeof digits, number,
                                   std::chars_format::scientific, significantDigits - 1)
                         .ptr;
    return std::string(digits, end);
}

} // namespace

void CaseCheck::Compare(const CaseLine& line, const std::string& got) {
    if (Matches(line.expected, got)) {
        ++passed_;
        return;
    }
    ++failed_;
    out_ << "line " << line.number << ": " << line.formulaText << ": expected " << line.expected
         << ", got " << got << std::endl;
}

int CaseCheck::Close() {
    out_ << passed_ << " passed, " << failed_ << " failed" << std::endl;
    return failed_;
}

bool CaseCheck::Matches(const std::string& expected, const std::string& got) {
    if (expected == got) {
        return true;
    }
    double wanted = 0;
    double result = 0;
    return ReadNumber(expected, wanted) && ReadNumber(got, result) &&
           (wanted == result || Rounded(wanted) == Rounded(result));
}

} // namespace xlhost
