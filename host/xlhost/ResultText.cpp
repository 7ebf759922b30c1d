#include "ResultText.h"

#include <cmath>
#include <cstdio>
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

std::string ResultText::Number(double number) {
    if (!std::isfinite(number)) {
        return "#NUM!";
    }
    std::ostringstream text;
    text << HostValue::Number(number); // shortest form that reads back as the same double
    return text.str();
}

std::string ResultText::Text(const std::u16string& text, bool wideText) {
    std::string line = "\"";
    for (char16_t unit : text) {
        line += Unit(unit, wideText);
    }
    return line + "\"";
}

std::string ResultText::Unit(char16_t unit, bool wideText) {
    if (unit == u'"') {
        return "\"\"";
    }
    if (unit >= 0x20 && unit < 0x7F) {
        return std::string(1, static_cast<char>(unit));
    }
    if (unit == 0) {
        return "\\0";
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, wideText ? "\\u%04X" : "\\x%02X",
                  static_cast<unsigned>(unit));
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
