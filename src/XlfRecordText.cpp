#include "XlfRecordText.h"

#include "XlfRecordOps.h"
#include "XlfTextConversion.h"

#include <algorithm>
#include <cstring>

namespace vornix {

namespace {

constexpr std::size_t MaxStringBytes = 254;
constexpr std::size_t MaxWideStringBytes = 255;
constexpr std::size_t MaxUnits = XlfCountedString::MaxLength<XCHAR>();

using Ops4 = XlfRecordOps<XLOPER>;
using Ops12 = XlfRecordOps<XLOPER12>;

} // namespace

bool XlfRecordText<XLOPER>::SetNarrow(XlfTemporaryMemory& memory, XLOPER& record, const char* text,
                                      XlfLog::Site cut) {
    if (text == nullptr)
        text = "";
    std::size_t length = std::strlen(text);
    if (length > MaxStringBytes) {
        XlfLog::At(cut) << "String truncated to 254 bytes" << std::endl;
        length = XlfTextConversion::CharacterPrefix(text, length, MaxStringBytes);
    }
    // Excel reads exactly the counted bytes. The NUL after them, outside the count, only keeps
    // the block readable as a C string for code that does not go through the length byte.
    return Ops4::SetText(memory, record, length, 1, [&](char* body) {
        std::memcpy(body, text, length);
        body[length] = '\0';
        return length;
    });
}

// The length byte counts the bytes the locale wrote; a character that would not fit whole is
// left out with those after it.
bool XlfRecordText<XLOPER>::SetWide(XlfTemporaryMemory& memory, XLOPER& record,
                                    const std::wstring& text, XlfLog::Site cut) {
    bool wasCut = false;
    const std::string narrow = XlfTextConversion::WideToNarrow(text, MaxWideStringBytes, wasCut);
    if (wasCut)
        XlfLog::At(cut) << "String truncated to 255 bytes" << std::endl;
    return Ops4::SetText(memory, record, narrow.size(), 0, [&](char* bytes) {
        std::memcpy(bytes, narrow.data(), narrow.size());
        return narrow.size();
    });
}

char* XlfRecordText<XLOPER>::AsNarrow(XlfTemporaryMemory& memory, const char* counted) {
    const std::size_t length = XlfCountedString::Length(counted);
    auto* text = static_cast<char*>(Ops4::GetMemory(memory, length + 1));
    std::memcpy(text, XlfCountedString::Text(counted), length);
    text[length] = '\0';
    return text;
}

std::wstring XlfRecordText<XLOPER>::AsWide(const char* counted) {
    const std::u16string units = XlfTextConversion::NarrowToUnits(
        XlfCountedString::Text(counted), XlfCountedString::Length(counted));
    return XlfTextConversion::UnitsToWide(units.data(), units.size());
}

MatrixCell XlfRecordText<XLOPER>::Cell(const char* counted) {
    return MatrixCell(
        std::string(XlfCountedString::Text(counted), XlfCountedString::Length(counted)));
}

bool XlfRecordText<XLOPER12>::SetNarrow(XlfTemporaryMemory& memory, XLOPER12& record,
                                        const char* text, XlfLog::Site) {
    if (text == nullptr)
        text = "";
    return SetUnits(memory, record, XlfTextConversion::NarrowToUnits(text, std::strlen(text)));
}

bool XlfRecordText<XLOPER12>::SetWide(XlfTemporaryMemory& memory, XLOPER12& record,
                                      const std::wstring& text, XlfLog::Site) {
    return SetUnits(memory, record, XlfTextConversion::WideToUnits(text));
}

// At most Excel's limit, without splitting a character written as two units.
bool XlfRecordText<XLOPER12>::SetUnits(XlfTemporaryMemory& memory, XLOPER12& record,
                                       const std::u16string& units) {
    const std::size_t length = XlfTextConversion::UnitPrefix(units, MaxUnits);
    return Ops12::SetText(memory, record, length, 0, [&](XCHAR* out) {
        std::copy_n(units.data(), length, out);
        return length;
    });
}

char* XlfRecordText<XLOPER12>::AsNarrow(XlfTemporaryMemory& memory, const XCHAR* counted) {
    const std::string narrow = XlfTextConversion::UnitsToNarrow(XlfCountedString::Text(counted),
                                                                XlfCountedString::Length(counted));
    auto* text = static_cast<char*>(Ops12::GetMemory(memory, narrow.size() + 1));
    std::memcpy(text, narrow.c_str(), narrow.size() + 1);
    return text;
}

std::wstring XlfRecordText<XLOPER12>::AsWide(const XCHAR* counted) {
    return XlfTextConversion::UnitsToWide(XlfCountedString::Text(counted),
                                          XlfCountedString::Length(counted));
}

MatrixCell XlfRecordText<XLOPER12>::Cell(const XCHAR* counted) {
    const XCHAR* units = XlfCountedString::Text(counted);
    return MatrixCell(std::wstring(units, units + XlfCountedString::Length(counted)));
}

} // namespace vornix
