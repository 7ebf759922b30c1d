// One cell of a CellMatrix: a narrow or wide text, a number, a boolean, an Excel error code or
// nothing. Not a union: every cell carries all fields, and only the one of its kind is meaningful.
#pragma once

#include <cstdint>
#include <string>

namespace vornix {

// Values are fixed (4 is unused) so that the kind reads the same wherever it is stored.
enum class CellKind : std::int32_t {
    String = 0,
    WideString = 1,
    Number = 2,
    Boolean = 3,
    Error = 5,
    Empty = 6,
};

// A getter or strict conversion asked for a kind the cell does not hold throws its message as a
// bare const char* (not an exception object) and leaves the cell unchanged.
class MatrixCell {
public:
    MatrixCell();
    MatrixCell(const std::string& text);
    MatrixCell(const char* text);
    MatrixCell(const std::wstring& text);
    MatrixCell(double number);
    MatrixCell(int number);
    // An Error cell when isError, a Number cell otherwise; both the number and the error code
    // are set to the code.
    MatrixCell(unsigned long code, bool isError);
    MatrixCell(bool boolean);

    bool IsStringCell() const { return kind_ == CellKind::String; }
    bool IsWideStringCell() const { return kind_ == CellKind::WideString; }
    bool IsNumberCell() const { return kind_ == CellKind::Number; }
    bool IsBooleanCell() const { return kind_ == CellKind::Boolean; }
    bool IsErrorCell() const { return kind_ == CellKind::Error; }
    bool IsEmptyCell() const { return kind_ == CellKind::Empty; }

    // String or WideString; wide characters keep their low 8 bits.
    std::string GetString() const;
    // WideString only.
    const std::wstring& GetWideString() const;
    double GetNumber() const;
    bool GetBoolean() const;
    unsigned long GetErrorCode() const;

    // Lower-cased with the single-byte tolower of the current locale; characters outside
    // 0..255 are left as they are, and wide results are 16-bit units on every platform.
    std::string GetLowerString() const;
    // For a String cell each byte is sign-extended to 16 bits (0x80 becomes 0xFF80).
    std::wstring GetLowerWideString() const;

    // Strict conversions: exactly one kind is accepted (a WideString is no std::string here).
    explicit operator std::string() const;
    explicit operator std::wstring() const;
    explicit operator bool() const;
    explicit operator double() const;
    // The number truncated toward zero to 64 bits, of which the low 32 bits are kept. A number
    // with no 64-bit integer part (NaN, infinities, beyond +-2^63) gives 0.
    explicit operator unsigned long() const;

    void MakeEmpty();

private:
    void RequireString() const;

    CellKind kind_;
    std::string narrow_;
    std::wstring wide_;
    double number_;
    bool boolean_;
    unsigned long errorCode_;
};

} // namespace vornix
