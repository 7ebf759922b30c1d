#pragma once

#include <cstdint>

namespace vornix {

// A block of cells on one sheet: zero-based rows and columns, ends exclusive (one past the last
// row and column), and the sheet identifier. The form in which references are read and written.
class XlfRange {
public:
    XlfRange() = default;
    XlfRange(std::int32_t rowBegin, std::int32_t rowEnd, std::int32_t columnBegin,
             std::int32_t columnEnd, std::uintptr_t sheetId = 0)
        : rowBegin_(rowBegin), rowEnd_(rowEnd), columnBegin_(columnBegin), columnEnd_(columnEnd),
          sheetId_(sheetId) {}

    std::int32_t GetRowBegin() const { return rowBegin_; }
    std::int32_t GetRowEnd() const { return rowEnd_; }
    std::int32_t GetColBegin() const { return columnBegin_; }
    std::int32_t GetColEnd() const { return columnEnd_; }
    std::uintptr_t GetSheetId() const { return sheetId_; }
    std::int64_t NbRows() const { return std::int64_t{rowEnd_} - rowBegin_; }
    std::int64_t NbCols() const { return std::int64_t{columnEnd_} - columnBegin_; }

    // The single cell at (row, column) relative to the first row and column, on the same sheet.
    XlfRange Cell(std::int32_t row, std::int32_t column) const {
        const std::int64_t first = std::int64_t{rowBegin_} + row;
        const std::int64_t left = std::int64_t{columnBegin_} + column;
        return XlfRange(static_cast<std::int32_t>(first), static_cast<std::int32_t>(first + 1),
                        static_cast<std::int32_t>(left), static_cast<std::int32_t>(left + 1),
                        sheetId_);
    }

    bool operator==(const XlfRange& other) const {
        return rowBegin_ == other.rowBegin_ && rowEnd_ == other.rowEnd_ &&
               columnBegin_ == other.columnBegin_ && columnEnd_ == other.columnEnd_ &&
               sheetId_ == other.sheetId_;
    }
    bool operator!=(const XlfRange& other) const { return !(*this == other); }

private:
    std::int32_t rowBegin_ = 0;
    std::int32_t rowEnd_ = 0;
    std::int32_t columnBegin_ = 0;
    std::int32_t columnEnd_ = 0;
    std::uintptr_t sheetId_ = 0;
};

} // namespace vornix
