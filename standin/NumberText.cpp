#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace xlstandin {

namespace {

constexpr std::size_t significantDigits = 15;
// Beyond this decimal exponent Excel writes one significant digit less.
constexpr int largestFullExponent = 98;
constexpr int largestPlainExponent = 19;
constexpr std::size_t longestPlainFraction = 20;

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
    // Excel holds no subnormal numbers and no negative zero: both show as 0.
    if (std::fabs(value) < std::numeric_limits<double>::min()) {
        text = "0";
        return true;
    }
    Decimal decimal = Exact(std::fabs(value));
    RoundHalfUp(decimal, significantDigits);
    if (std::abs(decimal.exponent) > largestFullExponent) {
        RoundHalfUp(decimal, significantDigits - 1);
    }
    decimal.digits.erase(decimal.digits.find_last_not_of('0') + 1);
    const bool negative = value < 0;
    text = IsPlain(decimal) ? Plain(negative, decimal.digits, decimal.exponent)
                            : Scientific(negative, decimal.digits, decimal.exponent);
    return true;
}

NumberText::Decimal NumberText::Exact(double magnitude) {
    // Enough digits for the exact value of any normal double (at most 767 significant).
    char buffer[maxExactDigits + 16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                   std::chars_format::scientific, maxExactDigits - 1)
                         .ptr;
    const std::string scientific(buffer, end);
    const std::size_t e = scientific.find('e');
    return {scientific.substr(0, 1) + scientific.substr(2, e - 2),
            std::atoi(scientific.c_str() + e + 1)};
}

void NumberText::RoundHalfUp(Decimal& decimal, std::size_t count) {
    if (decimal.digits.size() <= count) {
        return;
    }
    const bool up = decimal.digits[count] >= '5';
    decimal.digits.resize(count);
    if (!up) {
        return;
    }
    std::size_t position = count;
    while (position > 0 && decimal.digits[position - 1] == '9') {
        decimal.digits[--position] = '0';
    }
    if (position == 0) {
        // All nines: the carry makes 1 followed by zeros, one decimal place higher.
        decimal.digits.insert(decimal.digits.begin(), '1');
        decimal.digits.pop_back();
        ++decimal.exponent;
    } else {
        ++decimal.digits[position - 1];
    }
}

// Whole numbers are written out up to 20 digits; fractions below 1 while "0.", the zeros after
// the point and the significant digits take at most 20 characters.
bool NumberText::IsPlain(const Decimal& decimal) {
    if (decimal.exponent >= 0) {
        return decimal.exponent <= largestPlainExponent;
    }
    const std::size_t leadingZeros = static_cast<std::size_t>(-decimal.exponent - 1);
    return 2 + leadingZeros + decimal.digits.size() <= longestPlainFraction;
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
