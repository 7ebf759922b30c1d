#include "XlfOperImpl4.h"

#include "XlfTextConversion.h"

#include <cstring>

namespace vornix {

namespace {

constexpr std::size_t MaxStringBytes = 254;
constexpr std::size_t MaxWideStringBytes = 255;

} // namespace

LPXLOPER XlfOperImpl4::AsXLOPER(const XlfOper& oper) const {
    return RecordPtr(oper);
}

LPXLOPER12 XlfOperImpl4::AsXLOPER12(const XlfOper&) const {
    throw "Unable to convert Excel 4 datatype to Excel 12 datatype - operation not yet implemented";
}

// The length byte counts the bytes the locale wrote; a character that would not fit whole is
// left out with those after it.
XlfOper& XlfOperImpl4::SetWideString(XlfOper& oper, const std::wstring& text) const {
    bool cut = false;
    const std::string narrow = XlfTextConversion::WideToNarrow(text, MaxWideStringBytes, cut);
    if (cut)
        XlfLog::At("XlfOperImpl4", 813) << "String truncated to 255 bytes" << std::endl;
    return SetText(oper, narrow.size(), 0, [&](char* bytes) {
        std::memcpy(bytes, narrow.data(), narrow.size());
        return narrow.size();
    });
}

XlfOper& XlfOperImpl4::SetString(XlfOper& oper, const char* text) const {
    XLOPER* record = RecordPtr(oper);
    if (record != nullptr && !SetByteString(*record, text, "XlfOperImpl4", 782))
        RecordOf(oper) = nullptr;
    return oper;
}

bool XlfOperImpl4::SetByteString(XLOPER& record, const char* text, const char* logUnit,
                                 int logLine) {
    if (text == nullptr)
        text = "";
    std::size_t length = std::strlen(text);
    if (length > MaxStringBytes) {
        XlfLog::At(logUnit, logLine) << "String truncated to 254 bytes" << std::endl;
        length = XlfTextConversion::CharacterPrefix(text, length, MaxStringBytes);
    }
    // Excel reads exactly the counted bytes. The NUL after them, outside the count, only keeps
    // the block readable as a C string for code that does not go through the length byte.
    return Ops::SetText(record, length, 1, [&](char* body) {
        std::memcpy(body, text, length);
        body[length] = '\0';
        return length;
    });
}

char* XlfOperImpl4::TextAsNarrow(const char* counted) const {
    return ByteStringAsNarrow(counted);
}

char* XlfOperImpl4::ByteStringAsNarrow(const char* counted) {
    const std::size_t length = XlfCountedString::Length(counted);
    auto* text = static_cast<char*>(Ops::GetMemory(length + 1));
    std::memcpy(text, XlfCountedString::Text(counted), length);
    text[length] = '\0';
    return text;
}

std::wstring XlfOperImpl4::TextAsWide(const char* counted) const {
    const std::u16string units = XlfTextConversion::NarrowToUnits(
        XlfCountedString::Text(counted), XlfCountedString::Length(counted));
    return XlfTextConversion::UnitsToWide(units.data(), units.size());
}

MatrixCell XlfOperImpl4::TextCell(const char* counted) const {
    return ByteStringCell(counted);
}

MatrixCell XlfOperImpl4::ByteStringCell(const char* counted) {
    return MatrixCell(
        std::string(XlfCountedString::Text(counted), XlfCountedString::Length(counted)));
}

// A wide text becomes a byte string of the low byte of each unit.
void XlfOperImpl4::SetWideCellValue(XlfOper& value, const MatrixCell& cell) const {
    Current().SetString(value, cell.GetString().c_str());
}

} // namespace vornix
