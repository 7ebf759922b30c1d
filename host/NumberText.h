// Numbers as Excel writes and reads them in texts.
#pragma once

#include <string>

namespace xlstandin {

class NumberText {
public:
    // Excel's General form: at most 15 significant digits, without trailing zeros; plain
    // notation for magnitudes from 1E-06 up to below 1E+15 (after rounding to 15 digits),
    // exponent notation with a signed two-digit exponent otherwise ("1E-07", "1.5E+15").
    // False for infinities and NaN, which Excel does not hold.
    static bool General(double value, std::string& text);

    // A number only when the whole text, blanks around it aside, is one: optional sign, digits
    // with an optional decimal point, optional exponent. False otherwise or when out of range.
    static bool Parse(const std::string& text, double& value);

private:
    static std::string Scientific(bool negative, const std::string& digits, int exponent);
    static std::string Plain(bool negative, const std::string& digits, int exponent);
};

} // namespace xlstandin
