// The arithmetic of the seven worksheet functions on any text and number. Every result is checked
// against an independent reading of the same input by the C library (strtoll, strtod, ldexp,
// std::to_chars) wherever the input is an ordinary decimal or binary text; on every input only
// std::out_of_range may be thrown and no sanitizer may report.
#include "BinaryArithmetic.h"
#include "FuzzCheck.h"
#include "FuzzValues.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

constexpr std::int64_t kTwoToThe31 = std::int64_t{1} << 31;

// A text in exponent notation is read at its value, not by the plain atol/atof rules; the checks
// below compare with the plain rules and so leave such texts to the no-crash checks.
bool HasExponentMarker(const std::string& text) {
    return text.find_first_of("eE") != std::string::npos;
}

std::string WithoutLeadingMinus(const std::string& text) {
    return !text.empty() && text.front() == '-' ? text.substr(1) : text;
}

struct Reading {
    std::int64_t integerPart; // saturated at the 64-bit limits
    double fraction;          // 0 when there is no point
    bool hasPoint;
};

// The parts of a decimal text without an exponent as the C library reads them: strtoll up to the
// first point, strtod of the point and what follows. Such a fraction is below 1, so where strtod
// rounds it up to 1 the largest double below 1 is meant.
Reading ReadWithCLibrary(const std::string& text) {
    const std::size_t point = text.find('.');
    const std::string integerText = text.substr(0, point);
    Reading reading{std::strtoll(integerText.c_str(), nullptr, 10), 0.0,
                    point != std::string::npos};
    if (reading.hasPoint) {
        reading.fraction =
            std::min(std::strtod(text.substr(point).c_str(), nullptr), std::nextafter(1.0, 0.0));
    }
    return reading;
}

std::uint64_t Magnitude(std::int64_t value) {
    return value < 0 ? 0u - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

std::string BinaryDigitsOf(std::uint64_t value) {
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof(digits), value, 2).ptr;
    return std::string(digits, end);
}

bool IsBinaryDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("01") == std::string::npos;
}

// The value of fraction digits ("0101" is 0.3125), exact for up to 1074 digits.
double FractionDigitsValue(const std::string& digits) {
    double value = 0;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        value += digits[k] == '1' ? std::ldexp(1.0, -static_cast<int>(k + 1)) : 0.0;
    }
    return value;
}

void CheckIntegerToBinary(std::int32_t x) {
    FUZZ_CHECK(IntegerToBinary(x) == BinaryDigitsOf(Magnitude(x)));
}

void CheckFractionToBinary(double a, int n) {
    const bool valid = n >= 1 && n <= 64 && std::isfinite(a) && a < 1;
    std::string digits;
    try {
        digits = FractionToBinary(a, n);
    } catch (const std::out_of_range&) {
        FUZZ_CHECK(!valid);
        return;
    }
    FUZZ_CHECK(valid);
    FUZZ_CHECK(digits.size() == static_cast<std::size_t>(n));
    FUZZ_CHECK(digits.find_first_not_of("01") == std::string::npos);
    if (a >= 0 && a < 1) {
        // Digit k is bit k of the binary expansion, truncated: floor(a * 2^k) mod 2.
        for (int k = 1; k <= n; ++k) {
            const double bit = std::fmod(std::floor(std::ldexp(a, k)), 2.0);
            FUZZ_CHECK(digits[k - 1] == (bit != 0 ? '1' : '0'));
        }
    }
}

void CheckDecimalToBinary(const std::string& text, int precision) {
    std::string result;
    try {
        result = DecimalToBinary(text, precision);
    } catch (const std::out_of_range&) {
        if (HasExponentMarker(text))
            return;
        const Reading reading = ReadWithCLibrary(WithoutLeadingMinus(text));
        const bool integerFits = Magnitude(reading.integerPart) <= kTwoToThe31 - 1;
        const bool precisionFits = !reading.hasPoint || (precision >= 0 && precision <= 64);
        FUZZ_CHECK(!(integerFits && precisionFits));
        return;
    }
    // Form: an optional sign, integer digits, and a point with exactly `precision` digits.
    const std::string magnitudeText = WithoutLeadingMinus(result);
    const std::size_t point = magnitudeText.find('.');
    const std::string integerDigits = magnitudeText.substr(0, point);
    FUZZ_CHECK(IsBinaryDigits(integerDigits));
    if (point != std::string::npos) {
        FUZZ_CHECK(precision > 0 && precision <= 64);
        FUZZ_CHECK(magnitudeText.size() - point - 1 == static_cast<std::size_t>(precision));
        FUZZ_CHECK(magnitudeText.find_first_not_of("01", point + 1) == std::string::npos);
    }
    if (HasExponentMarker(text))
        return;

    const Reading reading = ReadWithCLibrary(WithoutLeadingMinus(text));
    FUZZ_CHECK(Magnitude(reading.integerPart) <= kTwoToThe31);
    FUZZ_CHECK(integerDigits == BinaryDigitsOf(Magnitude(reading.integerPart)));
    FUZZ_CHECK((point != std::string::npos) == (reading.hasPoint && precision != 0));
    if (point != std::string::npos) {
        // Truncated digits: their value is at most the fraction and less than one last digit
        // below it.
        const double digitsValue = FractionDigitsValue(magnitudeText.substr(point + 1));
        FUZZ_CHECK(digitsValue <= reading.fraction);
        FUZZ_CHECK(reading.fraction - digitsValue < std::ldexp(1.0, -precision));
    }
}

void CheckBinaryToDecimal(const std::string& text) {
    const double value = BinaryToDecimal(text);
    FUZZ_CHECK(!std::isnan(value));
    // A text of binary digits with at most 53 of them is exact: compare with strtoull base 2.
    const bool negative = !text.empty() && text.front() == '-';
    const std::string body = WithoutLeadingMinus(text);
    const std::size_t point = body.find('.');
    const std::string integerText = body.substr(0, point);
    const std::string fractionText = point == std::string::npos ? "" : body.substr(point + 1);
    const std::string digits = integerText + fractionText;
    if (!IsBinaryDigits(digits) || digits.size() > 53)
        return;
    const double magnitude =
        std::ldexp(static_cast<double>(std::strtoull(digits.c_str(), nullptr, 2)),
                   -static_cast<int>(fractionText.size()));
    FUZZ_CHECK(value == (negative ? -magnitude : magnitude));
}

// The C library's reading of one operand of a bitwise operation: the magnitude's integer part
// and its fraction scaled by 2^30 and truncated.
struct Operand {
    std::int64_t integerPart;
    std::uint32_t fractionWord;
};

Operand ReadOperand(const std::string& text) {
    const Reading reading = ReadWithCLibrary(WithoutLeadingMinus(text));
    const double scaled = std::ldexp(reading.fraction, 30);
    return {reading.integerPart, static_cast<std::uint32_t>(static_cast<std::int64_t>(scaled))};
}

template <typename Operation>
void CheckBitwise(double (*function)(std::string, std::string), Operation operation,
                  const std::string& first, const std::string& second) {
    double result = 0;
    bool thrown = false;
    try {
        result = function(first, second);
    } catch (const std::out_of_range&) {
        thrown = true;
    }
    // The operation is symmetric, failures included.
    double swapped = 0;
    bool thrownSwapped = false;
    try {
        swapped = function(second, first);
    } catch (const std::out_of_range&) {
        thrownSwapped = true;
    }
    FUZZ_CHECK(thrown == thrownSwapped);
    FUZZ_CHECK(thrown || SameDouble(swapped, result));
    if (HasExponentMarker(first) || HasExponentMarker(second))
        return;

    const Operand a = ReadOperand(first);
    const Operand b = ReadOperand(second);
    const auto fits = [](std::int64_t part) { return Magnitude(part) <= kTwoToThe31 - 1; };
    const auto beyond = [](std::int64_t part) { return Magnitude(part) > kTwoToThe31; };
    if (beyond(a.integerPart) || beyond(b.integerPart)) {
        FUZZ_CHECK(thrown);
        return;
    }
    if (!fits(a.integerPart) || !fits(b.integerPart))
        return; // -2^31 may be read or refused
    FUZZ_CHECK(!thrown);
    const auto integerPart = static_cast<std::int32_t>(operation(
        static_cast<std::int32_t>(a.integerPart), static_cast<std::int32_t>(b.integerPart)));
    const std::uint32_t word = operation(a.fractionWord, b.fractionWord);
    FUZZ_CHECK(result == integerPart + std::ldexp(static_cast<double>(word), -30));
}

// A shift by more than 2200 places takes every double as far as one by 2200 does: to infinity or
// zero of its sign (the doubles span 2^-1074 to 2^1024).
int WithinFarthestShift(std::int64_t places) {
    constexpr std::int64_t kFarthest = 2200;
    return static_cast<int>(std::clamp(places, -kFarthest, kFarthest));
}

void CheckShifts(double x, int n) {
    FUZZ_CHECK(SameDouble(ShiftLeft(x, n), std::ldexp(x, WithinFarthestShift(n))));
    FUZZ_CHECK(SameDouble(ShiftRight(x, n), std::ldexp(x, WithinFarthestShift(-std::int64_t{n}))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 6)) {
    case 0:
        CheckIntegerToBinary(input.ConsumeIntegral<std::int32_t>());
        break;
    case 1: {
        const int n = input.ConsumeIntegralInRange(-2, 70);
        CheckFractionToBinary(
            input.ConsumeBool() ? input.ConsumeProbability<double>() : AnyDouble(input), n);
        break;
    }
    case 2: {
        const int precision = input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 64)
                                                  : input.ConsumeIntegral<int>();
        CheckDecimalToBinary(input.ConsumeRemainingBytesAsString(), precision);
        break;
    }
    case 3:
        CheckBinaryToDecimal(input.ConsumeRemainingBytesAsString());
        break;
    case 4: {
        const std::string first = input.ConsumeRandomLengthString();
        const std::string second = input.ConsumeRemainingBytesAsString();
        CheckBitwise(BitwiseXor, std::bit_xor<>(), first, second);
        CheckBitwise(BitwiseOr, std::bit_or<>(), first, second);
        CheckBitwise(BitwiseAnd, std::bit_and<>(), first, second);
        break;
    }
    default: {
        const int n = input.ConsumeBool() ? input.ConsumeIntegralInRange(-1100, 1100)
                                          : input.ConsumeIntegral<int>();
        CheckShifts(AnyDouble(input), n);
        break;
    }
    }
    return 0;
}
