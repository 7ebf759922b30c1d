// The line xlhost prints for a formula's result: numbers in the shortest form that reads back as
// the same double, plain from 1E-5 up to below 1E16 and with an exponent outside (#NUM! for
// infinities and NaN), texts quoted with quotes doubled and other characters escaped, TRUE
// and FALSE, errors by name, arrays as {a,b;c,d}, a null result pointer as (null).
#pragma once

#include "FunctionInvoker.h"
#include "HostValue.h"

#include <string>

namespace xlhost {

class ResultText {
public:
    // wideText: texts are XLOPER12 code units, printed as \uHHHH when not printable ASCII;
    // XLOPER bytes (characters of code page 1252) print as \xHH. NUL prints as \0 in both.
    static std::string Of(const xlstandin::CallResult& result, bool wideText);
    static std::string Of(const xlstandin::HostValue& value, bool wideText);
    // A text's characters as a text result shows them, without the quotes around it; quotes
    // inside stay single.
    static std::string Characters(const std::u16string& text, bool wideText);

private:
    // Magnitudes printed in plain notation: from PlainFrom up to below PlainBelow.
    static constexpr double PlainFrom = 1e-5;
    static constexpr double PlainBelow = 1e16;

    static std::string Number(double number);
    static std::string Plain(const std::string& digits, int exponent);
    static std::string Text(const std::u16string& text, bool wideText);
    static std::string Unit(char16_t unit, bool wideText);
    static std::string Array(const xlstandin::HostValue& array, bool wideText);
};

} // namespace xlhost
