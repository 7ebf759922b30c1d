#include "XlfRecordText.h"

#include "XlfRecordOps.h"
#include "XlfTextConversion.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace vornix {

namespace {

constexpr std::size_t MaxStringBytes = 254;
constexpr std::size_t MaxWideStringBytes = 255;
constexpr std::size_t MaxUnits = XlfCountedString::MaxLength<XCHAR>();

template <typename Record> constexpr bool IsExcel12 = std::is_same<Record, XLOPER12>::value;

// Makes the record the first units of a text, at most Excel's limit, without splitting a
// character written as two units.
bool SetUnits(XlfTemporaryMemory& memory, XLOPER12& record, const std::u16string& units) {
    const std::size_t length = XlfTextConversion::UnitPrefix(units, MaxUnits);
    return XlfRecordOps<XLOPER12>::SetText(memory, record, length, 0, [&](XCHAR* out) {
        std::copy_n(units.data(), length, out);
        return length;
    });
}

} // namespace

template <typename Record>
bool XlfRecordText<Record>::SetNarrow(XlfTemporaryMemory& memory, Record& record, const char* text,
                                      [[maybe_unused]] XlfLog::Site cut) {
    if (text == nullptr)
        text = "";
    std::size_t length = std::strlen(text);
    if constexpr (IsExcel12<Record>) {
        return SetUnits(memory, record, XlfTextConversion::NarrowToUnits(text, length));
    } else {
        if (length > MaxStringBytes) {
            XlfLog::At(cut) << "String truncated to 254 bytes" << std::endl;
            length = XlfTextConversion::CharacterPrefix(text, length, MaxStringBytes);
        }
        // Excel reads exactly the counted bytes. The NUL after them, outside the count, only
        // keeps the block readable as a C string for code that does not go through the length.
        return XlfRecordOps<XLOPER>::SetText(memory, record, length, 1, [&](char* body) {
            std::memcpy(body, text, length);
            body[length] = '\0';
            return length;
        });
    }
}

// An Excel 4 length byte counts the bytes the locale wrote; a character that would not fit
// whole is left out with those after it.
template <typename Record>
bool XlfRecordText<Record>::SetWide(XlfTemporaryMemory& memory, Record& record,
                                    const std::wstring& text, [[maybe_unused]] XlfLog::Site cut) {
    if constexpr (IsExcel12<Record>) {
        return SetUnits(memory, record, XlfTextConversion::WideToUnits(text));
    } else {
        bool wasCut = false;
        const std::string narrow =
            XlfTextConversion::WideToNarrow(text, MaxWideStringBytes, wasCut);
        if (wasCut)
            XlfLog::At(cut) << "String truncated to 255 bytes" << std::endl;
        return XlfRecordOps<XLOPER>::SetText(memory, record, narrow.size(), 0, [&](char* bytes) {
            std::memcpy(bytes, narrow.data(), narrow.size());
            return narrow.size();
        });
    }
}

template <typename Record>
char* XlfRecordText<Record>::AsNarrow(XlfTemporaryMemory& memory, const Unit* counted) {
    const Unit* units = XlfCountedString::Text(counted);
    const std::size_t length = XlfCountedString::Length(counted);
    if constexpr (IsExcel12<Record>) {
        const std::string narrow = XlfTextConversion::UnitsToNarrow(units, length);
        auto* text = static_cast<char*>(XlfRecordOps<Record>::GetMemory(memory, narrow.size() + 1));
        std::memcpy(text, narrow.c_str(), narrow.size() + 1);
        return text;
    } else {
        auto* text = static_cast<char*>(XlfRecordOps<Record>::GetMemory(memory, length + 1));
        std::memcpy(text, units, length);
        text[length] = '\0';
        return text;
    }
}

template <typename Record> std::wstring XlfRecordText<Record>::AsWide(const Unit* counted) {
    const Unit* units = XlfCountedString::Text(counted);
    const std::size_t length = XlfCountedString::Length(counted);
    if constexpr (IsExcel12<Record>) {
        return XlfTextConversion::UnitsToWide(units, length);
    } else {
        const std::u16string wide = XlfTextConversion::NarrowToUnits(units, length);
        return XlfTextConversion::UnitsToWide(wide.data(), wide.size());
    }
}

template <typename Record> MatrixCell XlfRecordText<Record>::Cell(const Unit* counted) {
    const Unit* units = XlfCountedString::Text(counted);
    const std::size_t length = XlfCountedString::Length(counted);
    if constexpr (IsExcel12<Record>)
        return MatrixCell(std::wstring(units, units + length));
    else
        return MatrixCell(std::string(units, length));
}

template class XlfRecordText<XLOPER>;
template class XlfRecordText<XLOPER12>;

} // namespace vornix
