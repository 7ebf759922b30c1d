#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace xlstandin {

namespace {

constexpr int significantDigits = 15;
constexpr int smallestPlainExponent = -6;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips digits from position; returns how many.
std::size_t SkipDigits(const std::string& text, std::size_t& position) {
    const std::size_t start = position;
    while (position < text.size() && IsDigit(text[position])) {
        ++position;
    }
    return position - start;
}

bool IsNumberSyntax(const std::string& text) {
    std::size_t position = 0;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        ++position;
    }
    std::size_t mantissaDigits = SkipDigits(text, position);
    if (position < text.size() && text[position] == '.') {
        ++position;
        mantissaDigits += SkipDigits(text, position);
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (position < text.size() && (text[position] == 'e' || text[position] == 'E')) {
        ++position;
        if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
            ++position;
        }
        if (SkipDigits(text, position) == 0) {
            return false;
        }
    }
    return position == text.size();
}

} // namespace

bool NumberText::General(double value, std::string& text) {
    if (!std::isfinite(value)) {
        return false;
    }
    if (value == 0) {
        text = "0";
        return true;
    }
    // Correctly rounded "d.dddddddddddddde[+-]xx", independent of the C runtime's printf.
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, significantDigits - 1)
                         .ptr;
    const std::string scientific(buffer, end);
    const std::size_t e = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    digits.erase(digits.find_last_not_of('0') + 1);
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    const bool negative = value < 0;
    text = exponent >= significantDigits || exponent < smallestPlainExponent
               ? Scientific(negative, digits, exponent)
               : Plain(negative, digits, exponent);
    return true;
}

std::string NumberText::Scientific(bool negative, const std::string& digits, int exponent) {
    std::string text = negative ? "-" : "";
    text += digits[0];
    if (digits.size() > 1) {
        text += "." + digits.substr(1);
    }
    const int magnitude = std::abs(exponent);
    text += exponent < 0 ? "E-" : "E+";
    text += (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
    return text;
}

std::string NumberText::Plain(bool negative, const std::string& digits, int exponent) {
    std::string text = negative ? "-" : "";
    if (exponent < 0) {
        return text + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        return text + digits + std::string(integerDigits - digits.size(), '0');
    }
    return text + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

bool NumberText::Parse(const std::string& text, double& value) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return false;
    }
    std::string trimmed = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (!IsNumberSyntax(trimmed)) {
        return false;
    }
    if (trimmed[0] == '+') {
        trimmed.erase(0, 1);
    }
    double parsed = 0;
    const auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), parsed);
    if (result.ec != std::errc() || result.ptr != trimmed.data() + trimmed.size()) {
        return false;
    }
    value = parsed;
    return true;
}

} // namespace xlstandin
