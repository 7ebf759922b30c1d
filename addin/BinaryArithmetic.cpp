#include "BinaryArithmetic.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace {

// Fraction digits are built in a 64-character buffer; precision 0 means "no fraction".
constexpr int kMaxFractionDigits = 64;
const char* const kPrecisionMessage = "precision must be between 0 and 64";

// The bitwise operations hold a fraction as a word scaled by 2^30, i.e. 30 fractional bits.
constexpr double kFractionScale = 1073741824.0;

// Beyond this many positions a binary digit's weight is 0 or infinite in double precision.
constexpr std::size_t kLastDistinctPosition = 2100;

std::out_of_range IntegerPartOutOfRange(const std::string& integerText) {
    return std::out_of_range("integer part out of range: " + integerText);
}

std::out_of_range FractionPartOutOfRange(const std::string& fractionText) {
    return std::out_of_range("fraction part out of range: " + fractionText);
}

void RequireFractionDigitCount(int count) {
    if (count < 1 || count > kMaxFractionDigits) {
        throw std::out_of_range(kPrecisionMessage);
    }
}

// The value of a decimal digit, or nothing for any other character. Read alone, as atoi reads a
// single character, a non-digit counts as 0.
std::optional<int> DigitValue(char c) {
    if (c < '0' || c > '9') {
        return std::nullopt;
    }
    return c - '0';
}

// The blanks atol skips before a number: isspace in the "C" locale.
bool IsLeadingBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A minus sign counts only in first position; it is removed and reported.
bool StripLeadingMinus(std::string& text) {
    if (text.empty() || text.front() != '-') {
        return false;
    }
    text.erase(0, 1);
    return true;
}

struct DecimalParts {
    std::string integerText;
    std::string fractionText; // the first point and all after it; empty when there is no point

    bool HasPoint() const { return !fractionText.empty(); }
};

DecimalParts SplitAtPoint(const std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) {
        return {text, ""};
    }
    return {text.substr(0, point), text.substr(point)};
}

struct SignedMagnitude {
    bool negative;
    std::int64_t magnitude;
};

// An optional sign and the digits after it, up to the first other character (none gives 0). The
// magnitude stops growing at `ceiling`, which callers choose above every value they accept and
// below a tenth of the 64-bit range.
SignedMagnitude ReadSignedDigits(const std::string& text, std::size_t pos, std::int64_t ceiling) {
    SignedMagnitude result{false, 0};
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        result.negative = text[pos] == '-';
        ++pos;
    }
    for (; pos < text.size(); ++pos) {
        const std::optional<int> digit = DigitValue(text[pos]);
        if (!digit) {
            break;
        }
        result.magnitude = std::min(result.magnitude * 10 + *digit, ceiling);
    }
    return result;
}

// Reads by the atol rule, in 32 bits on every target. Where atol would wrap or saturate, a value
// outside the 32-bit range is reported instead.
std::int32_t ReadIntegerPart(const std::string& text) {
    constexpr std::int64_t kTwoToThe31 = std::int64_t{1} << 31;
    std::size_t pos = 0;
    while (pos < text.size() && IsLeadingBlank(text[pos])) {
        ++pos;
    }
    const SignedMagnitude read = ReadSignedDigits(text, pos, kTwoToThe31 + 1);
    const std::int64_t limit = read.negative ? kTwoToThe31 : kTwoToThe31 - 1;
    if (read.magnitude > limit) {
        throw IntegerPartOutOfRange(text);
    }
    return static_cast<std::int32_t>(read.negative ? -read.magnitude : read.magnitude);
}

// For a fraction text ".ddd[e|E exponent]" whose value from_chars found outside the double range:
// the value is too large, not too small, exactly when the exponent exceeds the count of zeros
// between the point and the first significant digit (the two differ by hundreds in either case).
bool IsAboveDoubleRange(const std::string& matched) {
    const std::size_t marker = matched.find_first_of("eE");
    if (marker == std::string::npos) {
        return false;
    }
    const std::size_t firstSignificant = std::min(matched.find_first_not_of('0', 1), marker);
    const auto leadingZeros = static_cast<std::int64_t>(firstSignificant - 1);
    // The ceiling lies beyond any zero count a string can hold.
    const SignedMagnitude exponent = ReadSignedDigits(matched, marker + 1, std::int64_t{1} << 59);
    return !exponent.negative && exponent.magnitude > leadingZeros;
}

// Reads a fraction text (empty, or starting with the point) by the atof rule, exponent included.
// std::from_chars is correctly rounded, ignores the locale and reads alike on both targets; a
// value beyond the double range, which atof would give as infinity, is reported.
double ReadFraction(const std::string& text) {
    double value = 0.0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        const std::string matched(text.data(), stop);
        if (IsAboveDoubleRange(matched)) {
            throw FractionPartOutOfRange(text);
        }
        return 0.0; // below the smallest double: atof gives 0 as well
    }
    return error == std::errc{} ? value : 0.0;
}

// The fraction scaled by 2^30 and truncated to 64 bits, of which the low 32 bits are kept.
std::uint32_t FractionWord(const std::string& fractionText) {
    constexpr double kTwoToThe63 = 9223372036854775808.0;
    const double scaled = ReadFraction(fractionText) * kFractionScale;
    if (!(scaled >= -kTwoToThe63 && scaled < kTwoToThe63)) {
        throw FractionPartOutOfRange(fractionText);
    }
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(scaled));
}

struct FixedPoint {
    std::int32_t integerPart;
    std::uint32_t fractionWord;
};

// Only the magnitude counts, so the sign goes before the integer part is read: "-2147483648" has
// the magnitude 2^31 and is out of range.
FixedPoint ReadFixedPoint(std::string text) {
    StripLeadingMinus(text);
    const DecimalParts parts = SplitAtPoint(text);
    return {ReadIntegerPart(parts.integerText), FractionWord(parts.fractionText)};
}

template <typename BitOperation>
double CombineBits(const std::string& first, const std::string& second, BitOperation operation) {
    const FixedPoint a = ReadFixedPoint(first);
    const FixedPoint b = ReadFixedPoint(second);
    const std::int32_t integerPart = operation(a.integerPart, b.integerPart);
    const std::uint32_t fractionWord = operation(a.fractionWord, b.fractionWord);
    return integerPart + fractionWord / kFractionScale;
}

// The atoi value of a character times 2^exponent; ldexp keeps each weight exact and gives 0, not
// 0 * infinity, for a zero digit far to the left.
double WeightedDigit(char c, std::size_t position, bool fractional) {
    const int exponent = static_cast<int>(std::min(position, kLastDistinctPosition));
    return std::ldexp(DigitValue(c).value_or(0), fractional ? -exponent : exponent);
}

int BitLength(std::uint32_t value) {
    int length = 0;
    for (; value != 0; value >>= 1) {
        ++length;
    }
    return length;
}

// The power is a double on every target: 2^1024 is infinite and 2^-1075 is 0.
double PowerOfTwo(int n) {
    return std::pow(2.0, n);
}

} // namespace

std::string IntegerToBinary(std::int32_t x) {
    // Unsigned, so that the magnitude of -2^31 is representable.
    std::uint32_t magnitude =
        x < 0 ? 0u - static_cast<std::uint32_t>(x) : static_cast<std::uint32_t>(x);
    std::string digits(std::max(BitLength(magnitude), 1), '0');
    for (auto digit = digits.rbegin(); magnitude != 0; ++digit, magnitude >>= 1) {
        *digit = (magnitude & 1u) != 0 ? '1' : '0';
    }
    return digits;
}

std::string FractionToBinary(double a, int n) {
    RequireFractionDigitCount(n);
    if (!std::isfinite(a)) {
        throw std::out_of_range("fraction must be a finite number");
    }
    std::string digits(static_cast<std::size_t>(n), '0');
    for (char& digit : digits) {
        a = a * 2;
        const double whole = std::trunc(a);
        digit = whole != 0 ? '1' : '0';
        a -= whole;
    }
    return digits;
}

// An integer part that reads negative (as in "--5") gives the digits of its magnitude.
std::string DecimalToBinary(std::string text, int precision) {
    const std::string sign = StripLeadingMinus(text) ? "-" : "";
    const DecimalParts parts = SplitAtPoint(text);
    std::string result = sign + IntegerToBinary(ReadIntegerPart(parts.integerText));
    if (parts.HasPoint() && precision != 0) {
        RequireFractionDigitCount(precision);
        result += "." + FractionToBinary(ReadFraction(parts.fractionText), precision);
    }
    return result;
}

double BinaryToDecimal(std::string text) {
    const double sign = StripLeadingMinus(text) ? -1.0 : 1.0;
    const DecimalParts parts = SplitAtPoint(text);
    double value = 0.0;
    // The fraction first, left to right after the point, then the integer part from the right.
    for (std::size_t k = 1; k < parts.fractionText.size(); ++k) {
        value = value + WeightedDigit(parts.fractionText[k], k, true);
    }
    const std::string& integerText = parts.integerText;
    for (std::size_t j = 0; j < integerText.size(); ++j) {
        value = value + WeightedDigit(integerText[integerText.size() - 1 - j], j, false);
    }
    return value * sign;
}

double BitwiseXor(std::string first, std::string second) {
    return CombineBits(first, second, std::bit_xor<>());
}

double BitwiseOr(std::string first, std::string second) {
    return CombineBits(first, second, std::bit_or<>());
}

double BitwiseAnd(std::string first, std::string second) {
    return CombineBits(first, second, std::bit_and<>());
}

double ShiftLeft(double x, int n) {
    return x * PowerOfTwo(n);
}

double ShiftRight(double x, int n) {
    return x / PowerOfTwo(n);
}
