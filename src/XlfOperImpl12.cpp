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
    return SetUnits(oper, XlfTextConversion::WideToUnits(text));
}

// The prefix counts the code units the conversion produced: one per byte unless the locale
// reads several bytes as one character.
XlfOper& XlfOperImpl12::SetString(XlfOper& oper, const char* text) const {
    if (text == nullptr)
        text = "";
    return SetUnits(oper, XlfTextConversion::NarrowToUnits(text, std::strlen(text)));
}

// At most Excel's limit, without splitting a character written as two units.
XlfOper& XlfOperImpl12::SetUnits(XlfOper& oper, const std::u16string& units) {
    const std::size_t length = XlfTextConversion::UnitPrefix(units, MaxLength);
    return SetText(oper, length, 0, [&](XCHAR* out) {
        std::copy_n(units.data(), length, out);
        return length;
    });
}

// As many bytes as the locale writes for the characters, which may be more than the units.
char* XlfOperImpl12::TextAsNarrow(const XCHAR* counted) const {
    const std::string narrow = XlfTextConversion::UnitsToNarrow(XlfCountedString::Text(counted),
                                                                XlfCountedString::Length(counted));
    auto* text = static_cast<char*>(Ops::GetMemory(narrow.size() + 1));
    std::memcpy(text, narrow.c_str(), narrow.size() + 1);
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
