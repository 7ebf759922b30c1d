#include "BinaryArithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

const std::string kPrecisionMessage = "precision must be between 0 and 64";

// The message of the std::out_of_range that `call` throws, or a marker when it throws none.
std::string OutOfRangeMessage(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::out_of_range& error) {
        return error.what();
    }
    return "(no exception)";
}

std::string Repeat(const std::string& piece, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += piece;
    }
    return result;
}

TEST(IntegerToBinary, WritesDigitsOfTheMagnitudeWithoutLeadingZeros) {
    const struct {
        std::int32_t value;
        std::string digits;
    } cases[] = {
        {0, "0"},     {1, "1"},
        {5, "101"},   {8, "1000"},
        {10, "1010"}, {2147483647, Repeat("1", 31)},
        {-5, "101"},  {std::numeric_limits<std::int32_t>::min(), "1" + Repeat("0", 31)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(IntegerToBinary(c.value), c.digits);
    }
}

TEST(IntegerToBinary, DigitCountIsTheBitLengthAtEveryPowerOfTwo) {
    for (int k = 1; k <= 30; ++k) {
        SCOPED_TRACE(k);
        const std::int32_t power = std::int32_t{1} << k;
        EXPECT_EQ(IntegerToBinary(power), "1" + Repeat("0", k));
        EXPECT_EQ(IntegerToBinary(power - 1), Repeat("1", k));
    }
}

TEST(FractionToBinary, TruncatesToExactlyTheDigitsAskedFor) {
    const struct {
        double fraction;
        int count;
        std::string digits;
    } cases[] = {
        {0.75, 1, "1"},
        {0.1, 4, "0001"},
        {0.1, 8, "00011001"},
        {0.5, 3, "100"},
        {0.0, 64, Repeat("0", 64)},
        // The double nearest 0.1 is 2^-4 * 1.1001...10011010 (52 bits); only zeros follow it.
        {0.1, 64, "0001" + Repeat("1001", 12) + "1010" + Repeat("0", 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(FractionToBinary(c.fraction, c.count), c.digits);
    }
}

TEST(FractionToBinary, RejectsCountsOutsideTheBufferAndNonFiniteFractions) {
    for (int count : {0, -1, 65, std::numeric_limits<int>::max()}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(OutOfRangeMessage([count] { FractionToBinary(0.5, count); }), kPrecisionMessage);
    }
    for (double fraction :
         {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(OutOfRangeMessage([fraction] { FractionToBinary(fraction, 3); }),
                  "fraction must be a finite number");
    }
    for (double fraction : {1.0, 1e308}) {
        EXPECT_EQ(OutOfRangeMessage([fraction] { FractionToBinary(fraction, 3); }),
                  "fraction must be below 1");
    }
    EXPECT_EQ(FractionToBinary(0x1.fffffffffffffp-1, 3), "111");
}

TEST(DecimalToBinary, ConvertsTextsAsTheWorksheetFunctionShowsThem) {
    const struct {
        std::string text;
        int precision;
        std::string binary;
    } cases[] = {
        {"5", 3, "101"},
        {"2.5", 3, "10.100"},
        {"-6.75", 4, "-110.1100"},
        {"5.75", 0, "101"},
        {"10.1", 8, "1010.00011001"},
        {"7.", 3, "111.000"},
        {"1.75", 1, "1.1"},
        {"7", 5, "111"},
        {"5.5", 64, "101.1" + Repeat("0", 63)},
        {"2147483647.5", 1, Repeat("1", 31) + ".1"},
        {"-2147483647", 0, "-" + Repeat("1", 31)},
        // A zero integer part is written as 0, also with a sign.
        {"0.5", 3, "0.100"},
        {"-0.5", 3, "-0.100"},
        {".25", 2, "0.01"},
        {"", 0, "0"},
        // Without a point no fraction digits are due, whatever the precision.
        {"5", 100, "101"},
        {"5", -3, "101"},
        {" \t+5.5", 1, "101.1"},
        {"5abc", 0, "101"},
        {"abc", 2, "0"},
        // A number in exponent notation is read at its value (no longer as 1 and 3.05, which
        // the atol/atof reading gave for these two).
        {"1E-07", 3, "0.000"},
        {"3.5e-1", 8, "0.01011001"},
        {"1.5E-10", 40, "0." + Repeat("0", 32) + "10100100"},
        {"1.42857142857143E-05", 30, "0.000000000000000011101111101011"},
        {"2.5E0", 3, "10.100"},
        {" +25e-1 ", 3, "10.100"},
        {"-.25E+1", 3, "-10.100"},
        {"0.00025E4", 3, "10.100"},
        {"2147483647E0", 0, Repeat("1", 31)},
        {"-0E+99999999999999999999", 2, "-0"},
        {"0.1E-999", 3, "0.000"},
        {"0." + Repeat("0", 400) + "1E+5", 3, "0.000"},
        {"1E-99999999999999999999", 3, "0.000"},
        // Anything else keeps the atol/atof reading: the integer part stops at the E.
        {"1E-07x", 3, "1"},
        {"1E", 0, "1"},
        {"1E+", 0, "1"},
        {"1E 5", 0, "1"},
        {"E5", 0, "0"},
        {"5.1e-1x", 8, "101.00000010"},
        // atof rounds this fraction up to 1; the largest double below 1 is meant, not 1.000.
        {"0.99999999999999999", 3, "0.111"},
        {"0.99999999999999999", 64, "0." + Repeat("1", 53) + Repeat("0", 11)},
        {"5.9999999999999999999e0x", 2, "101.11"},
        // Only the first character can be the sign; an integer part reading negative gives the
        // digits of its magnitude and keeps its sign (" -5.5" gave "101.1" once).
        {"--5", 0, "-101"},
        {"--2147483648", 0, "-1" + Repeat("0", 31)},
        {" -5.5", 1, "-101.1"},
        {" -0.5", 2, "-0.10"},
        // -2^31 has 32 binary digits and is a 32-bit integer (once reported out of range).
        {"-2147483648", 0, "-1" + Repeat("0", 31)},
        {"-2147483648.5", 1, "-1" + Repeat("0", 31) + ".1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DecimalToBinary(c.text, c.precision), c.binary);
    }
}

TEST(DecimalToBinary, ReportsPartsOutsideTheirRange) {
    const struct {
        std::string text;
        int precision;
        std::string message;
    } cases[] = {
        {"3000000000", 0, "integer part out of range: 3000000000"},
        {"2147483648.5", 3, "integer part out of range: 2147483648"},
        {"-2147483649", 0, "integer part out of range: 2147483649"},
        {"99999999999999999999999", 0, "integer part out of range: 99999999999999999999999"},
        {" -2147483649x", 0, "integer part out of range:  -2147483649x"},
        {"1.5", 65, kPrecisionMessage},
        {"1.5", -1, kPrecisionMessage},
        // Written out at their value, these are integers beyond 32 bits.
        {"1E+15", 0, "integer part out of range: 1000000000000000"},
        {"123456789012", 0, "integer part out of range: 123456789012"},
        {"1.1E999", 3, "integer part out of range: 11" + Repeat("0", 38) + "..."},
        {"-1E+99999999999999999999", 0, "integer part out of range: 1" + Repeat("0", 39) + "..."},
        // An exponent left in a fraction that is no number in exponent notation: a fraction of
        // 1 or more has no binary digits (once computed from an overflowed double).
        {"1.1E999x", 3, "fraction part out of range: .1E999x"},
        {"5.1e309x", 3, "fraction part out of range: .1e309x"},
        {"5.1e1x", 3, "fraction part out of range: .1e1x"},
        {"5.00002e5x", 3, "fraction part out of range: .00002e5x"},
        // At most 40 characters of an operand, so that a long input leaves a short text.
        {Repeat("9", 60), 0, "integer part out of range: " + Repeat("9", 40) + "..."},
        {"1." + Repeat("5", 50) + "e1x", 3,
         "fraction part out of range: ." + Repeat("5", 39) + "..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(OutOfRangeMessage([&c] { DecimalToBinary(c.text, c.precision); }), c.message);
    }
}

TEST(BinaryToDecimal, ReadsEveryCharacterAsADigitAtItsPosition) {
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"101", 5},
        {"-101.01", -5.25},
        {"10.1", 2.5},
        {".1", 0.5},
        {"", 0},
        {"12", 4},
        {"1a1", 5},
        {" 101", 5},
        {"101 ", 10},
        {"1-1", 5},
        {"1.1.1", 1.625},
        {"1" + Repeat("0", 39), 0x1p39},
        {"0." + Repeat("0", 35) + "1", 0x1p-36},
        {Repeat("1", 53), 0x1p53 - 1},
        // A number Excel wrote in exponent notation is read as its plain digits.
        {"1E+20", 0x1p20},
        {"-1E2", -4},
        {" 1e2 ", 4},
        {"1.5E-10", 0x1p-10 + 5 * 0x1p-11},
        {"1E+99999999999999999999", std::numeric_limits<double>::infinity()},
        {"1E-99999999999999999999", 0},
        {"1e1x", 10},
        // Zero digits far to the left weigh nothing rather than 0 * infinity.
        {"1" + Repeat("0", 1100), std::numeric_limits<double>::infinity()},
        {"0." + Repeat("0", 1100) + "1", 0},
        // Each weight and each sum is a double: 2^-1075 rounds to 0 before it is added.
        {"." + Repeat("0", 1073) + "11", 0x1p-1074},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        EXPECT_EQ(BinaryToDecimal(c.text), c.value);
    }
}

enum class Bitwise { Xor, Or, And };

double Apply(Bitwise operation, const std::string& first, const std::string& second) {
    switch (operation) {
    case Bitwise::Xor:
        return BitwiseXor(first, second);
    case Bitwise::Or:
        return BitwiseOr(first, second);
    case Bitwise::And:
        return BitwiseAnd(first, second);
    }
    return std::nan("");
}

TEST(BitwiseOperations, CombineMagnitudesWithThirtyFractionalBits) {
    const struct {
        Bitwise operation;
        std::string first;
        std::string second;
        double result;
    } cases[] = {
        {Bitwise::Xor, "5.25", "3.5", 6.75},
        {Bitwise::Or, "5.25", "3.5", 7.75},
        {Bitwise::And, "5.25", "3.5", 1},
        {Bitwise::Xor, "12", "10", 6},
        {Bitwise::Or, "12", "10", 14},
        {Bitwise::And, "12", "10", 8},
        {Bitwise::Xor, "-5", "3", 6},
        {Bitwise::And, "5", "-3", 1},
        {Bitwise::Xor, "0.1", "0", 0.09999999962747097},
        {Bitwise::Or, "2147483647", "0", 2147483647},
        // Exponent notation is read at its value (1E-07 once read as 1).
        {Bitwise::Xor, "1E-07", "0", 107 / 0x1p30},
        {Bitwise::Or, "1.42857142857143E-05", "0", 15339 / 0x1p30},
        {Bitwise::And, "1.5E1", "7", 7},
        {Bitwise::Or, "0.1E-999", "0", 0},
        // Only the first character is a sign: the integer part itself reads -5.
        {Bitwise::Xor, "--5", "0", -5},
        // A fraction with an exponent left in it keeps the low 32 bits of its scaled word:
        // 5 * 2^30 leaves 2^30, and (2^33 - 1) * 2^30, the largest that fits 64 bits, leaves
        // 3 * 2^30.
        {Bitwise::Xor, ".5E1x", "0", 1},
        {Bitwise::Xor, ".8589934591E10x", "0", 3},
        // A fraction below 1 that atof rounds up to 1 keeps below 1: its word is 2^30 - 1, as
        // that of "0.9999999999", not 2^30 spilling into the integer part (once 1.5 and 0).
        {Bitwise::Xor, "0.99999999999999999", "0.5", 0.4999999990686774},
        {Bitwise::And, "0.99999999999999999", "0.5", 0.5},
        {Bitwise::Or, "0.99999999999999999", "0.5", 0.9999999990686774},
        {Bitwise::Xor, "0.99999999999999999", "0", 0.9999999990686774},
        {Bitwise::Xor, "0.9999999999", "0", 0.9999999990686774},
        {Bitwise::Xor, "-7.99999999999999999", "0", 7.9999999990686774},
        {Bitwise::And, ".99999999999999999e0x", "1.5", 0.5},
        // A fraction whose exponent makes it exactly 1 keeps its reading.
        {Bitwise::Xor, ".1E1x", "0", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first + " op " + c.second);
        EXPECT_EQ(Apply(c.operation, c.first, c.second), c.result);
    }
}

TEST(BitwiseOperations, ReportPartsThatDoNotFitTheirWords) {
    const struct {
        Bitwise operation;
        std::string first;
        std::string second;
        std::string message;
    } cases[] = {
        {Bitwise::Xor, "3000000000", "1", "integer part out of range: 3000000000"},
        {Bitwise::And, "1", "-2147483648", "integer part out of range: 2147483648"},
        // Exponent notation written out: integer parts beyond 32 bits (0.5E300 once overflowed
        // the fraction word instead).
        {Bitwise::Or, "1E+15", "0", "integer part out of range: 1000000000000000"},
        {Bitwise::Or, "0.5E300", "0", "integer part out of range: 5" + Repeat("0", 39) + "..."},
        {Bitwise::Or, "0", "0.1E999x", "fraction part out of range: .1E999x"},
        {Bitwise::Xor, ".8589934592E10x", "0", "fraction part out of range: .8589934592E10x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first + " op " + c.second);
        EXPECT_EQ(OutOfRangeMessage([&c] { Apply(c.operation, c.first, c.second); }), c.message);
    }
}

TEST(Shifts, MultiplyOrDivideByAPowerOfTwoWithoutTruncating) {
    EXPECT_EQ(ShiftRight(5, 1), 2.5);
    EXPECT_EQ(ShiftLeft(1.5, 2), 6);
    EXPECT_EQ(ShiftRight(3, -1), 6);
    EXPECT_EQ(ShiftLeft(-3, -1), -1.5);
    EXPECT_EQ(ShiftLeft(5, 0), 5);
    EXPECT_EQ(ShiftRight(5, 0), 5);
    EXPECT_EQ(ShiftLeft(1, -1074), 0x1p-1074);
    EXPECT_EQ(ShiftLeft(1, 1024), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ShiftRight(-1, -1024), -std::numeric_limits<double>::infinity());
}

// 2^n on its own may be infinite or 0 where the product is not; the results are exact (2^-1024
// and 0 * infinity = NaN came from forming the power first).
TEST(Shifts, ScaleWithoutFormingThePower) {
    EXPECT_EQ(ShiftLeft(0, 1024), 0);
    EXPECT_EQ(ShiftRight(0, -5000), 0);
    EXPECT_EQ(ShiftRight(1, 1024), 0x1p-1024);
    EXPECT_EQ(ShiftRight(0x1p1000, 1050), 0x1p-50);
    EXPECT_EQ(ShiftLeft(0x1p-1000, 1100), 0x1p100);
    EXPECT_EQ(ShiftLeft(1e-300, 1100), std::ldexp(1e-300, 1100));
    EXPECT_TRUE(std::isfinite(ShiftLeft(1e-300, 1100)));
    EXPECT_EQ(ShiftLeft(std::numeric_limits<double>::max(), -2200), 0);
    // 1.5 * 2^-1075 lies nearer 2^-1074 than 0.
    EXPECT_EQ(ShiftLeft(1.5, -1075), 0x1p-1074);
    const int most = std::numeric_limits<int>::max();
    const int least = std::numeric_limits<int>::min();
    EXPECT_EQ(ShiftRight(3, least), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ShiftRight(3, most), 0);
    EXPECT_EQ(ShiftLeft(3, least), 0);
    EXPECT_TRUE(std::isnan(ShiftLeft(std::nan(""), 3)));
}

TEST(WholeCount, TruncatesTowardZeroWithinThirtyTwoBits) {
    EXPECT_EQ(WholeCount(2.9), 2);
    EXPECT_EQ(WholeCount(-2.9), -2);
    EXPECT_EQ(WholeCount(-0.5), 0);
    EXPECT_EQ(WholeCount(1e300), 2147483647);
    EXPECT_EQ(WholeCount(-1e300), -2147483647 - 1);
    EXPECT_EQ(WholeCount(std::numeric_limits<double>::infinity()), 2147483647);
    EXPECT_EQ(WholeCount(std::nan("")), 0);
}

} // namespace
