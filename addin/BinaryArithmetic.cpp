#include "BinaryArithmetic.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace {

// Fraction digits are built in a 64-character buffer; precision 0 means "no fraction".
constexpr int kMaxFractionDigits = 64;
const char* const kPrecisionMessage = "precision must be between 0 and 64";

// The bitwise operations hold a fraction as a word scaled by 2^30, i.e. 30 fractional bits.
constexpr double kFractionScale = 1073741824.0;

// Beyond this many positions a binary digit's weight is 0 or infinite in double precision.
constexpr std::size_t kLastDistinctPosition = 2100;

// A number written out from exponent notation has at most this many places on either side of its
// point. Further out, a decimal integer part is far beyond 32 bits, a decimal fraction below the
// smallest double, and a binary digit's weight beyond kLastDistinctPosition.
constexpr std::int64_t kWrittenOutPlaces = 2200;

// The largest double below 1, for a fraction below 1 that atof rounds up to 1.
constexpr double kLargestBelowOne = 0x1.fffffffffffffp-1;

// Failure texts show at most this much of an operand, so that they stay short enough for any
// text Excel can hold.
constexpr std::size_t kEchoedCharacters = 40;

std::string Echo(const std::string& operand) {
    if (operand.size() <= kEchoedCharacters) {
        return operand;
    }
    return operand.substr(0, kEchoedCharacters) + "...";
}

std::out_of_range IntegerPartOutOfRange(const std::string& integerText) {
    return std::out_of_range("integer part out of range: " + Echo(integerText));
}

std::out_of_range FractionPartOutOfRange(const std::string& fractionText) {
    return std::out_of_range("fraction part out of range: " + Echo(fractionText));
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

constexpr std::int64_t kTwoToThe31 = std::int64_t{1} << 31;

// Reads an integer part by the atol rule: leading blanks, an optional sign, digits.
SignedMagnitude ReadAtol(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsLeadingBlank(text[pos])) {
        ++pos;
    }
    return ReadSignedDigits(text, pos, kTwoToThe31 + 1);
}

// The magnitude read from `text` with the sign given, in 32 bits on every target. Where atol
// would wrap or saturate, a value outside the 32-bit range is reported instead.
std::int32_t ThirtyTwoBitValue(std::int64_t magnitude, bool negative, const std::string& text) {
    const std::int64_t limit = negative ? kTwoToThe31 : kTwoToThe31 - 1;
    if (magnitude > limit) {
        throw IntegerPartOutOfRange(text);
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// Reads an integer part by the atol rule, sign included.
std::int32_t ReadIntegerPart(const std::string& text) {
    const SignedMagnitude read = ReadAtol(text);
    return ThirtyTwoBitValue(read.magnitude, read.negative, text);
}

std::size_t SkipDigits(const std::string& text, std::size_t pos, std::size_t end) {
    while (pos < end && DigitValue(text[pos])) {
        ++pos;
    }
    return pos;
}

// Digits and the position of the decimal point among them: the value is 0.digits * 10^point.
struct ScaledDigits {
    std::string digits;
    std::int64_t point;
};

// The digits of "d.ddd" times 10^exponent without leading zeros, and the point placed by the
// exponent within kWrittenOutPlaces of the first digit.
ScaledDigits Normalised(std::string digits, std::int64_t integerDigits, std::int64_t exponent) {
    const std::size_t firstSignificant = std::min(digits.find_first_not_of('0'), digits.size());
    digits.erase(0, firstSignificant);
    const std::int64_t point =
        integerDigits - static_cast<std::int64_t>(firstSignificant) + exponent;
    return {digits, std::clamp(point, -kWrittenOutPlaces, kWrittenOutPlaces)};
}

std::string WrittenOut(bool negative, const ScaledDigits& number) {
    const std::string sign = negative ? "-" : "";
    const std::string& digits = number.digits;
    if (digits.empty()) {
        return sign + "0";
    }
    if (number.point <= 0) {
        return sign + "0." + std::string(static_cast<std::size_t>(-number.point), '0') + digits;
    }
    const auto integerDigits = static_cast<std::size_t>(number.point);
    if (integerDigits >= digits.size()) {
        return sign + digits + std::string(integerDigits - digits.size(), '0');
    }
    return sign + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

// Excel writes large and small numbers in exponent notation ("1.42857142857143E-05", "1E+20"),
// which the atol/atof reading would take for 1. A text that is exactly such a number (blanks
// around it aside) is written out in plain decimal notation, at its value: "1.5E-10" becomes
// "0.00000000015" and "-1E+3" becomes "-1000". Every other text is kept as it is.
std::string PlainDecimal(const std::string& text) {
    std::size_t pos = 0;
    std::size_t end = text.size();
    while (pos < end && IsLeadingBlank(text[pos])) {
        ++pos;
    }
    while (end > pos && IsLeadingBlank(text[end - 1])) {
        --end;
    }
    const bool negative = pos < end && text[pos] == '-';
    if (pos < end && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    const std::size_t integerEnd = SkipDigits(text, pos, end);
    std::string digits = text.substr(pos, integerEnd - pos);
    const auto integerDigits = static_cast<std::int64_t>(digits.size());
    pos = integerEnd;
    if (pos < end && text[pos] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, pos + 1, end);
        digits += text.substr(pos + 1, fractionEnd - pos - 1);
        pos = fractionEnd;
    }
    if (digits.empty() || pos >= end || (text[pos] != 'e' && text[pos] != 'E')) {
        return text;
    }
    const std::size_t exponentStart = pos + 1;
    const std::size_t exponentDigits =
        exponentStart < end && (text[exponentStart] == '+' || text[exponentStart] == '-')
            ? exponentStart + 1
            : exponentStart;
    if (exponentDigits == end || SkipDigits(text, exponentDigits, end) != end) {
        return text;
    }
    // Any exponent beyond the written-out places gives the same result; the ceiling keeps the
    // sum below the 64-bit range.
    const SignedMagnitude exponent = ReadSignedDigits(text, exponentStart, std::int64_t{1} << 40);
    return WrittenOut(negative,
                      Normalised(std::move(digits), integerDigits,
                                 exponent.negative ? -exponent.magnitude : exponent.magnitude));
}

// Whether the exact value of a text ".ddd[e|E exponent]" is 1 or more: exactly when the
// exponent exceeds the count of zeros between the point and the first significant digit.
bool IsAtLeastOne(const std::string& matched) {
    const std::size_t marker = matched.find_first_of("eE");
    if (marker == std::string::npos) {
        return false;
    }
    const std::size_t firstSignificant = matched.find_first_not_of('0', 1);
    if (firstSignificant >= marker) {
        return false; // all zeros
    }
    const auto leadingZeros = static_cast<std::int64_t>(firstSignificant - 1);
    // The ceiling lies beyond any zero count a string can hold.
    const SignedMagnitude exponent = ReadSignedDigits(matched, marker + 1, std::int64_t{1} << 59);
    return !exponent.negative && exponent.magnitude > leadingZeros;
}

struct FractionReading {
    double value;
    bool atLeastOne; // the exact value read, before rounding to a double
};

// Reads a fraction text (empty, or starting with the point) by the atof rule, exponent included.
// std::from_chars is correctly rounded, ignores the locale and reads alike on both targets; a
// value beyond the double range, which atof would give as infinity, is reported. A text below 1
// that atof rounds up to 1 ("0.99999999999999999") reads as the largest double below 1: its
// binary digits are all ones, and its fraction word does not spill into the integer part.
FractionReading ReadFraction(const std::string& text) {
    double value = 0.0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool atLeastOne = IsAtLeastOne(std::string(text.data(), stop));
    if (error == std::errc::result_out_of_range) {
        if (atLeastOne) {
            throw FractionPartOutOfRange(text);
        }
        return {0.0, false}; // below the smallest double: atof gives 0 as well
    }
    const double read = error == std::errc{} ? value : 0.0;
    return {atLeastOne ? read : std::min(read, kLargestBelowOne), atLeastOne};
}

// The fraction of a decimal text, below 1; a text whose exponent makes it 1 or more has no binary
// fraction.
double FractionBelowOne(const std::string& fractionText) {
    const FractionReading read = ReadFraction(fractionText);
    if (read.atLeastOne) {
        throw FractionPartOutOfRange(fractionText);
    }
    return read.value;
}

// The fraction scaled by 2^30 and truncated to 64 bits, of which the low 32 bits are kept. A
// fraction whose exponent makes it 1 or more keeps that reading; one below 1 stays below 2^30.
std::uint32_t FractionWord(const std::string& fractionText) {
    constexpr double kTwoToThe63 = 9223372036854775808.0;
    const double scaled = ReadFraction(fractionText).value * kFractionScale;
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
FixedPoint ReadFixedPoint(const std::string& operand) {
    std::string text = PlainDecimal(operand);
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
    if (a >= 1) {
        throw std::out_of_range("fraction must be below 1");
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

// The sign is a minus in first position or one that atol reads in the integer part (" -5.5",
// "--5"); the digits are those of the magnitude, which may be 2^31 for a negative number.
std::string DecimalToBinary(std::string text, int precision) {
    text = PlainDecimal(text);
    const bool leadingMinus = StripLeadingMinus(text);
    const DecimalParts parts = SplitAtPoint(text);
    const SignedMagnitude integerPart = ReadAtol(parts.integerText);
    const bool negative = leadingMinus || integerPart.negative;
    std::string result =
        (negative ? "-" : "") +
        IntegerToBinary(ThirtyTwoBitValue(integerPart.magnitude, negative, parts.integerText));
    if (parts.HasPoint() && precision != 0) {
        RequireFractionDigitCount(precision);
        result += "." + FractionToBinary(FractionBelowOne(parts.fractionText), precision);
    }
    return result;
}

double BinaryToDecimal(std::string text) {
    text = PlainDecimal(text);
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

// ldexp scales without forming 2^n, which alone may be infinite or 0 where the product is not.
int WholeCount(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double truncated = std::trunc(value);
    if (truncated <= std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (truncated >= std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<int>(truncated);
}

double ShiftLeft(double x, int n) {
    return std::ldexp(x, n);
}

// -n would overflow for the smallest int; the largest scales just as far beyond the double range.
double ShiftRight(double x, int n) {
    return std::ldexp(x,
                      n == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : -n);
}
