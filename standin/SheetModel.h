// The cells that references point at: a few values on named sheets, each with its id.
#pragma once

#include "HostValue.h"

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace xlstandin {

class SheetModel {
public:
    // "Sheet1" is always there, with this id; other sheets follow as they are named.
    static constexpr std::uintptr_t DefaultSheet = 1;
    static constexpr const char* DefaultSheetName = "Sheet1";

    // The id of the sheet of that name, compared without regard to the case of ASCII letters
    // as Excel compares sheet names; a new name adds a sheet after the others.
    std::uintptr_t SheetNamed(const std::string& name);
    // False when no sheet has that name.
    bool FindSheet(const std::string& name, std::uintptr_t& sheetId) const;
    // The name of a sheet; empty for an id no sheet has.
    std::string SheetName(std::uintptr_t sheetId) const;

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
    std::vector<std::string> sheetNames_{DefaultSheetName}; // the name of sheet id n at n - 1
};

} // namespace xlstandin
