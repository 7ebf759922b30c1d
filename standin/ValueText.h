// A value written on one line, as the stand-in shows it in test messages and xlhost prints a
// result: numbers in one of two shortest forms, texts in double quotes with quotes doubled and
// the characters that are not printable ASCII escaped, TRUE and FALSE, errors by Excel's name,
// arrays as {a,b;c,d}, and (missing), (nil) and ref(sheet N RxCy:RxCy) for the rest.
#pragma once

#include "HostValue.h"

#include <string>

namespace xlstandin {

class ValueText {
public:
    enum class Numbers {
        // The shortest text that reads back as the same double, as std::to_chars writes it.
        Shortest,
        // The same digits, written out in plain notation from 1E-5 up to below 1E16 and with an
        // exponent outside; #NUM! for infinities and NaN, which Excel cannot hold.
        PlainOrExponent,
    };
    // How a character that is not printable ASCII is written; NUL is always \0.
    enum class Escapes {
        // The code unit itself: \xHH up to 0xFF, \uHHHH above.
        ByCodeUnit,
        // \uHHHH: an XLOPER12 text's code unit.
        Excel12,
        // \xHH: the code page 1252 byte an XLOPER text holds.
        Excel4,
    };
    struct Form {
        Numbers numbers;
        Escapes escapes;
    };
    // The stand-in's own form, for test messages.
    static constexpr Form Readable{Numbers::Shortest, Escapes::ByCodeUnit};

    static std::string Of(const HostValue& value, Form form);
    // A text's characters without the quotes around it; quotes inside stay single.
    static std::string Characters(const std::u16string& text, Escapes escapes);

private:
    // Magnitudes written in plain notation: from PlainFrom up to below PlainBelow.
    static constexpr double PlainFrom = 1e-5;
    static constexpr double PlainBelow = 1e16;

    static std::string Number(double number, Numbers numbers);
    static std::string PlainOrExponent(double number);
    static std::string Plain(const std::string& digits, int exponent);
    static std::string Quoted(const std::u16string& text, Escapes escapes);
    static std::string Unit(char16_t unit, Escapes escapes);
    static std::string Array(const HostValue& array, Form form);
    static std::string Reference(const HostValue& reference);
};

} // namespace xlstandin
