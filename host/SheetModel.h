// The cells that references point at: a few values on numbered sheets, set by tests.
#pragma once

#include "HostValue.h"

#include <cstdint>
#include <map>
#include <tuple>

namespace xlstandin {

class SheetModel {
public:
    static constexpr std::uintptr_t DefaultSheet = 1;

    // A plain value for the cell at a zero-based row and column; Nil empties it.
    void SetCell(std::uintptr_t sheetId, std::int32_t row, std::int32_t column, HostValue value);
    HostValue Cell(std::uintptr_t sheetId, std::int32_t row, std::int32_t column) const;

    // The sheet that single-area references without a sheet (sheet 0) point at.
    void SetCurrentSheet(std::uintptr_t sheetId) { currentSheet_ = sheetId; }
    std::uintptr_t CurrentSheet() const { return currentSheet_; }

    // The values a reference points at: one cell gives its value, a larger area an array,
    // empty cells Nil. False for references of more or less than one area.
    bool Read(const HostValue& reference, HostValue& value) const;

    void Clear();

private:
    using Key = std::tuple<std::uintptr_t, std::int32_t, std::int32_t>;
    std::map<Key, HostValue> cells_;
    std::uintptr_t currentSheet_ = DefaultSheet;
};

} // namespace xlstandin
