#include "ResultText.h"

namespace xlhost {

using xlstandin::ValueText;

std::string ResultText::Of(const xlstandin::CallResult& result, bool wideText) {
    return result.nullPointer ? "(null)" : Of(result.value, wideText);
}

std::string ResultText::Of(const xlstandin::HostValue& value, bool wideText) {
    return ValueText::Of(value, FormOf(wideText));
}

std::string ResultText::Characters(const std::u16string& text, bool wideText) {
    return ValueText::Characters(text, FormOf(wideText).escapes);
}

ValueText::Form ResultText::FormOf(bool wideText) {
    return ValueText::Form{ValueText::Numbers::PlainOrExponent,
                           wideText ? ValueText::Escapes::Excel12 : ValueText::Escapes::Excel4};
}

} // namespace xlhost
