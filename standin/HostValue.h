// A value as Excel holds it in a cell, an argument or a result, independent of the record layout.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace xlstandin {

// One rectangle of a reference: zero-based rows and columns, last row and column included, as
// Excel's reference records count them.
struct CellArea {
    std::int32_t rowFirst;
    std::int32_t rowLast;
    std::int32_t columnFirst;
    std::int32_t columnLast;

    bool operator==(const CellArea& other) const {
        return rowFirst == other.rowFirst && rowLast == other.rowLast &&
               columnFirst == other.columnFirst && columnLast == other.columnLast;
    }
};

class HostValue {
public:
    enum class Kind { Missing, Nil, Number, Text, Boolean, Error, Array, Reference };

    // Sheet 0 in a reference stands for the current sheet (Excel's single-area form).
    static constexpr std::uintptr_t CurrentSheet = 0;

    HostValue() = default; // missing

    static HostValue Missing() { return HostValue(); }
    static HostValue Nil();
    static HostValue Number(double value);
    // Each byte becomes one code unit of the same value.
    static HostValue Text(const std::string& bytes);
    static HostValue Text(std::u16string units);
    static HostValue Boolean(bool value);
    static HostValue Error(int code);
    // Elements row by row; rows * columns of them, none an array or a reference.
    static HostValue Array(int rows, int columns, std::vector<HostValue> elements);
    static HostValue Reference(std::uintptr_t sheetId, std::vector<CellArea> areas);

    Kind GetKind() const { return kind_; }
    bool Is(Kind kind) const { return kind_ == kind; }

    double AsNumber() const { return number_; }
    const std::u16string& AsText() const { return text_; }
    // The text with each unit above 0xFF replaced by '?'.
    std::string AsNarrowText() const;
    bool AsBoolean() const { return number_ != 0; }
    int AsError() const { return static_cast<int>(number_); }

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    const HostValue& At(int row, int column) const;
    const std::vector<HostValue>& Elements() const { return elements_; }

    std::uintptr_t SheetId() const { return sheetId_; }
    const std::vector<CellArea>& Areas() const { return areas_; }

    bool operator==(const HostValue& other) const;
    bool operator!=(const HostValue& other) const { return !(*this == other); }

    // Excel's text of an error code ("#VALUE!"), or "#ERR<code>" for codes Excel does not know.
    static std::string ErrorName(int code);

private:
    explicit HostValue(Kind kind) : kind_(kind) {}

    Kind kind_ = Kind::Missing;
    double number_ = 0; // number, boolean (0 or 1) or error code
    std::u16string text_;
    int rows_ = 0;
    int columns_ = 0;
    std::vector<HostValue> elements_;
    std::uintptr_t sheetId_ = 0;
    std::vector<CellArea> areas_;
};

// Readable form for test messages (ValueText::Readable): numbers in shortest form, texts quoted,
// arrays in braces.
std::ostream& operator<<(std::ostream& out, const HostValue& value);

} // namespace xlstandin
