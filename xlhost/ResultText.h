// The line xlhost prints for a formula's result: the value as ValueText writes it, with numbers
// in plain notation from 1E-5 up to below 1E16 and with an exponent outside (#NUM! for
// infinities and NaN), and texts escaped by the layout they came in; a null result pointer as
// (null).
#pragma once

#include "FunctionInvoker.h"
#include "ValueText.h"

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
    static xlstandin::ValueText::Form FormOf(bool wideText);
};

} // namespace xlhost
