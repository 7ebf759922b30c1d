#include "XlfOperImpl12.h"

#include "XlfTextConversion.h"

#include <algorithm>
#include <cstring>

namespace vornix {

namespace {

constexpr std::size_t MaxLength = XlfCountedString::MaxLength<XCHAR>();

} // namespace

LPXLOPER XlfOperImpl12::AsXLOPER(const XlfOper&) const {
    throw "Unable to convert Excel 12 datatype to Excel 4 datatype - operation not yet implemented";
}

LPXLOPER12 XlfOperImpl12::AsXLOPER12(const XlfOper& oper) const {
    return RecordPtr(oper);
}

XlfOper& XlfOperImpl12::SetWideString(XlfOper& oper, const std::wstring& text) const {
    const std::size_t length = std::min(text.size(), MaxLength);
    return SetText(oper, length, 0, [&](XCHAR* units) {
        XlfTextConversion::WideToUnits(text, length, units);
        return length;
    });
}

// The prefix counts the code units the conversion produced: one per byte unless the locale
// reads several bytes as one character.
XlfOper& XlfOperImpl12::SetString(XlfOper& oper, const char* text) const {
    if (text == nullptr)
        text = "";
    const std::size_t length = std::min(std::strlen(text), MaxLength);
    return SetText(oper, length, 0, [&](XCHAR* units) {
        return XlfTextConversion::NarrowToUnits(text, length, units);
    });
}

char* XlfOperImpl12::TextAsNarrow(const XCHAR* counted) const {
    const std::size_t length = XlfCountedString::Length(counted);
    auto* text = static_cast<char*>(Ops::GetMemory(length + 1));
    XlfTextConversion::UnitsToNarrow(XlfCountedString::Text(counted), length, text);
    text[length] = '\0';
    return text;
}

std::wstring XlfOperImpl12::TextAsWide(const XCHAR* counted) const {
    return XlfTextConversion::UnitsToWide(XlfCountedString::Text(counted),
                                          XlfCountedString::Length(counted));
}

MatrixCell XlfOperImpl12::TextCell(const XCHAR* counted) const {
    const XCHAR* units = XlfCountedString::Text(counted);
    return MatrixCell(std::wstring(units, units + XlfCountedString::Length(counted)));
}

void XlfOperImpl12::SetWideCellValue(XlfOper& value, const MatrixCell& cell) const {
    Current().SetWideString(value, cell.GetWideString());
}

} // namespace vornix
