#include <vornix/MatrixCell.h>

#include <cctype>

namespace vornix {

namespace {

constexpr const char* kNotString = "non string cell asked to be a string";
constexpr const char* kNotWideString = "non wstring cell asked to be a wstring";
constexpr const char* kNotNumber = "non number cell asked to be a number";
constexpr const char* kNotBoolean = "non boolean cell asked to be a bool";
constexpr const char* kNotError = "non error cell asked to be an error";

// Single-byte tolower on a code unit; std::tolower is undefined outside 0..255 (and EOF).
std::uint32_t LowerUnit(std::uint32_t unit) {
    return unit <= 0xFF ? static_cast<std::uint32_t>(std::tolower(static_cast<int>(unit))) : unit;
}

char LowByte(wchar_t unit) {
    return static_cast<char>(static_cast<std::uint32_t>(unit) & 0xFF);
}

// 0x80..0xFF become 0xFF80..0xFFFF, as a signed char widened to a 16-bit unit.
wchar_t SignExtendedUnit(char byte) {
    return static_cast<wchar_t>(static_cast<std::uint16_t>(static_cast<signed char>(byte)));
}

std::uint32_t TruncatedLow32(double number) {
    // Only numbers whose integer part fits a signed 64-bit integer convert without undefined
    // behaviour; NaN fails both comparisons.
    if (!(number >= -9223372036854775808.0 && number < 9223372036854775808.0))
        return 0;
    return static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(static_cast<std::int64_t>(number)));
}

} // namespace

MatrixCell::MatrixCell() : kind_(CellKind::Empty), number_(0.0), boolean_(false), errorCode_(0) {}

MatrixCell::MatrixCell(const std::string& text) : MatrixCell() {
    kind_ = CellKind::String;
    narrow_ = text;
}

MatrixCell::MatrixCell(const char* text) : MatrixCell(std::string(text)) {}

MatrixCell::MatrixCell(const std::wstring& text) : MatrixCell() {
    kind_ = CellKind::WideString;
    wide_ = text;
}

MatrixCell::MatrixCell(double number) : MatrixCell() {
    kind_ = CellKind::Number;
    number_ = number;
}

MatrixCell::MatrixCell(int number) : MatrixCell(static_cast<double>(number)) {}

MatrixCell::MatrixCell(unsigned long code, bool isError) : MatrixCell() {
    kind_ = isError ? CellKind::Error : CellKind::Number;
    number_ = static_cast<double>(code);
    errorCode_ = code;
}

MatrixCell::MatrixCell(bool boolean) : MatrixCell() {
    kind_ = CellKind::Boolean;
    boolean_ = boolean;
}

void MatrixCell::RequireString() const {
    if (!IsStringCell() && !IsWideStringCell())
        throw kNotString;
}

std::string MatrixCell::GetString() const {
    RequireString();
    if (IsStringCell())
        return narrow_;
    std::string result;
    result.reserve(wide_.size());
    for (wchar_t unit : wide_)
        result += LowByte(unit);
    return result;
}

const std::wstring& MatrixCell::GetWideString() const {
    if (!IsWideStringCell())
        throw kNotWideString;
    return wide_;
}

double MatrixCell::GetNumber() const {
    if (!IsNumberCell())
        throw kNotNumber;
    return number_;
}

bool MatrixCell::GetBoolean() const {
    if (!IsBooleanCell())
        throw kNotBoolean;
    return boolean_;
}

unsigned long MatrixCell::GetErrorCode() const {
    if (!IsErrorCell())
        throw kNotError;
    return errorCode_;
}

std::string MatrixCell::GetLowerString() const {
    RequireString();
    std::string result;
    if (IsStringCell()) {
        result.reserve(narrow_.size());
        for (char byte : narrow_)
            result += static_cast<char>(LowerUnit(static_cast<unsigned char>(byte)));
    } else {
        for (wchar_t unit : GetLowerWideString())
            result += LowByte(unit);
    }
    return result;
}

std::wstring MatrixCell::GetLowerWideString() const {
    RequireString();
    std::wstring result;
    if (IsWideStringCell()) {
        result.reserve(wide_.size());
        for (wchar_t unit : wide_)
            result += static_cast<wchar_t>(LowerUnit(static_cast<std::uint32_t>(unit)) & 0xFFFF);
    } else {
        for (char byte : GetLowerString())
            result += SignExtendedUnit(byte);
    }
    return result;
}

MatrixCell::operator std::string() const {
    if (!IsStringCell())
        throw kNotString;
    return narrow_;
}

MatrixCell::operator std::wstring() const {
    return GetWideString();
}

MatrixCell::operator bool() const {
    return GetBoolean();
}

MatrixCell::operator double() const {
    return GetNumber();
}

MatrixCell::operator unsigned long() const {
    return TruncatedLow32(GetNumber());
}

void MatrixCell::MakeEmpty() {
    *this = MatrixCell();
}

} // namespace vornix
