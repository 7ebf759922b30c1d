#include "ResultText.h"

#include "UnicodeText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace xlhost {

using xlstandin::HostValue;

std::string ResultText::Of(const xlstandin::CallResult& result, bool wideText) {
    return result.nullPointer ? "(null)" : Of(result.value, wideText);
}

std::string ResultText::Of(const HostValue& value, bool wideText) {
    switch (value.GetKind()) {
    case HostValue::Kind::Number:
        return Number(value.AsNumber());
    case HostValue::Kind::Text:
        return Text(value.AsText(), wideText);
    case HostValue::Kind::Array:
        return Array(value, wideText);
    default: {
        // Booleans and errors as Excel writes them; the rest as the stand-in describes them.
        std::ostringstream text;
        text << value;
        return text.str();
    }
    }
}

// The shortest digits that read back as the same double, from the exponent form; magnitudes
// a person reads more easily in plain notation are written out in it with the same digits.
std::string ResultText::Number(double number) {
    if (!std::isfinite(number)) {
        return "#NUM!";
    }
    char buffer[32];
    char* end =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::scientific).ptr;
    const std::string scientific(buffer, end);
    const double magnitude = std::fabs(number);
    if (magnitude != 0 && (magnitude < PlainFrom || magnitude >= PlainBelow)) {
        return scientific;
    }
    const std::size_t e = scientific.find('e');
    const bool negative = scientific[0] == '-';
    std::string digits = scientific.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    return (negative ? "-" : "") + Plain(digits, std::atoi(scientific.c_str() + e + 1));
}

// Digits d1 d2 ... meaning d1.d2... times ten to the exponent, without an exponent.
std::string ResultText::Plain(const std::string& digits, int exponent) {
    if (exponent < 0) {
        return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        return digits + std::string(integerDigits - digits.size(), '0');
    }
    return digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

std::string ResultText::Text(const std::u16string& text, bool wideText) {
    std::string line = "\"";
    for (char16_t unit : text) {
        line += unit == u'"' ? "\"\"" : Unit(unit, wideText);
    }
    return line + "\"";
}

std::string ResultText::Characters(const std::u16string& text, bool wideText) {
    std::string characters;
    for (char16_t unit : text) {
        characters += Unit(unit, wideText);
    }
    return characters;
}

std::string ResultText::Unit(char16_t unit, bool wideText) {
    if (unit >= 0x20 && unit < 0x7F) {
        return std::string(1, static_cast<char>(unit));
    }
    if (unit == 0) {
        return "\\0";
    }
    char escaped[8];
    if (wideText) {
        std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
    } else {
        std::snprintf(escaped, sizeof escaped, "\\x%02X",
                      static_cast<unsigned char>(xlstandin::UnicodeText::ToCodePage1252(unit)));
    }
    return escaped;
}

std::string ResultText::Array(const HostValue& array, bool wideText) {
    std::string line = "{";
    for (int row = 0; row < array.Rows(); ++row) {
        for (int column = 0; column < array.Columns(); ++column) {
            line += column > 0 ? "," : row > 0 ? ";" : "";
            line += Of(array.At(row, column), wideText);
        }
    }
    return line + "}";
}

} // namespace xlhost
