#include "ValueText.h"

#include "UnicodeText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace xlstandin {

std::string ValueText::Of(const HostValue& value, Form form) {
    switch (value.GetKind()) {
    case HostValue::Kind::Missing:
        return "(missing)";
    case HostValue::Kind::Nil:
        return "(nil)";
    case HostValue::Kind::Number:
        return Number(value.AsNumber(), form.numbers);
    case HostValue::Kind::Text:
        return Quoted(value.AsText(), form.escapes);
    case HostValue::Kind::Boolean:
        return value.AsBoolean() ? "TRUE" : "FALSE";
    case HostValue::Kind::Error:
        return HostValue::ErrorName(value.AsError());
    case HostValue::Kind::Array:
        return Array(value, form);
    case HostValue::Kind::Reference:
        return Reference(value);
    }
    return "";
}

std::string ValueText::Number(double number, Numbers numbers) {
    if (numbers == Numbers::PlainOrExponent) {
        return PlainOrExponent(number);
    }
    char digits[32];
    char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    return std::string(digits, end);
}

// The shortest digits that read back as the same double, from the exponent form; magnitudes
// a person reads more easily in plain notation are written out in it with the same digits.
std::string ValueText::PlainOrExponent(double number) {
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
std::string ValueText::Plain(const std::string& digits, int exponent) {
    if (exponent < 0) {
        return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        return digits + std::string(integerDigits - digits.size(), '0');
    }
    return digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

std::string ValueText::Quoted(const std::u16string& text, Escapes escapes) {
    std::string line = "\"";
    for (char16_t unit : text) {
        line += unit == u'"' ? "\"\"" : Unit(unit, escapes);
    }
    return line + "\"";
}

std::string ValueText::Characters(const std::u16string& text, Escapes escapes) {
    std::string characters;
    for (char16_t unit : text) {
        characters += Unit(unit, escapes);
    }
    return characters;
}

std::string ValueText::Unit(char16_t unit, Escapes escapes) {
    if (unit >= 0x20 && unit < 0x7F) {
        return std::string(1, static_cast<char>(unit));
    }
    if (unit == 0) {
        return "\\0";
    }
    char escaped[8];
    if (escapes == Escapes::Excel4) {
        std::snprintf(escaped, sizeof escaped, "\\x%02X",
                      static_cast<unsigned char>(UnicodeText::ToCodePage1252(unit)));
    } else if (escapes == Escapes::Excel12 || unit > 0xFF) {
        std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
    } else {
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(unit));
    }
    return escaped;
}

std::string ValueText::Array(const HostValue& array, Form form) {
    std::string line = "{";
    for (int row = 0; row < array.Rows(); ++row) {
        for (int column = 0; column < array.Columns(); ++column) {
            line += column > 0 ? "," : row > 0 ? ";" : "";
            line += Of(array.At(row, column), form);
        }
    }
    return line + "}";
}

std::string ValueText::Reference(const HostValue& reference) {
    std::string line = "ref(sheet " + std::to_string(reference.SheetId());
    for (const CellArea& area : reference.Areas()) {
        line += " R" + std::to_string(area.rowFirst + 1) + "C" +
                std::to_string(area.columnFirst + 1) + ":R" + std::to_string(area.rowLast + 1) +
                "C" + std::to_string(area.columnLast + 1);
    }
    return line + ")";
}

} // namespace xlstandin
