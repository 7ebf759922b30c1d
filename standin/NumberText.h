// Numbers as Excel writes and reads them in texts.
#pragma once

#include <cstddef>
#include <string>

namespace xlstandin {

class NumberText {
public:
    // A number as Excel writes it in a text: its exact decimal value rounded half up to 15
    // significant digits (14 beyond a decimal exponent of 98 either way, rounding the 15 digits
    // again), trailing zeros dropped. Plain digits up to a decimal exponent of 19
    // ("123456789012346000") and for fractions whose plain form takes at most 20 characters
    // ("0.0000001"); otherwise d.dddE+XX with a signed exponent of two digits or more
    // ("1E+20", "1.42857142857143E-05"). Subnormal numbers and -0 give "0". False for
    // infinities and NaN, which Excel does not hold.
    static bool General(double value, std::string& text);

    // A number only when the whole text, blanks around it aside, is one: optional sign, digits
    // with an optional decimal point, optional exponent. False otherwise or when out of range.
    static bool Parse(const std::string& text, double& value);

private:
    // Significant digits d1 d2 ... (d1 not 0) of the value d1.d2... * 10^exponent.
    struct Decimal {
        std::string digits;
        int exponent;
    };
    static constexpr int maxExactDigits = 800;

    static Decimal Exact(double magnitude);
    static void RoundHalfUp(Decimal& decimal, std::size_t count);
    static bool IsPlain(const Decimal& decimal);
    static std::string Scientific(bool negative, const std::string& digits, int exponent);
    static std::string Plain(bool negative, const std::string& digits, int exponent);
};

} // namespace xlstandin
