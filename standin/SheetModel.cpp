#include "SheetModel.h"

#include "AsciiText.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace xlstandin {

void SheetModel::SetCell(std::uintptr_t sheetId, std::int32_t row, std::int32_t column,
                         HostValue value) {
    if (value.Is(HostValue::Kind::Array) || value.Is(HostValue::Kind::Reference)) {
        throw std::invalid_argument("a cell holds a plain value");
    }
    const Key key(sheetId, row, column);
    if (value.Is(HostValue::Kind::Nil)) {
        cells_.erase(key);
    } else {
        cells_[key] = std::move(value);
    }
}

HostValue SheetModel::Cell(std::uintptr_t sheetId, std::int32_t row, std::int32_t column) const {
    const auto found = cells_.find(Key(sheetId, row, column));
    return found == cells_.end() ? HostValue::Nil() : found->second;
}

bool SheetModel::Read(const HostValue& reference, HostValue& value) const {
    if (reference.Areas().size() != 1) {
        return false;
    }
    const CellArea& area = reference.Areas()[0];
    const int rows = area.rowLast - area.rowFirst + 1;
    const int columns = area.columnLast - area.columnFirst + 1;
    if (rows < 1 || columns < 1) {
        return false;
    }
    const std::uintptr_t sheet =
        reference.SheetId() == HostValue::CurrentSheet ? currentSheet_ : reference.SheetId();
    std::vector<HostValue> cells;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            cells.push_back(Cell(sheet, area.rowFirst + row, area.columnFirst + column));
        }
    }
    value = cells.size() == 1 ? cells[0] : HostValue::Array(rows, columns, std::move(cells));
    return true;
}

std::uintptr_t SheetModel::SheetNamed(const std::string& name) {
    std::uintptr_t sheetId = 0;
    if (!FindSheet(name, sheetId)) {
        sheetNames_.push_back(name);
        sheetId = sheetNames_.size();
    }
    return sheetId;
}

bool SheetModel::FindSheet(const std::string& name, std::uintptr_t& sheetId) const {
    const std::string wanted = LowerAscii(name);
    for (std::size_t i = 0; i < sheetNames_.size(); ++i) {
        if (LowerAscii(sheetNames_[i]) == wanted) {
            sheetId = i + 1;
            return true;
        }
    }
    return false;
}

std::string SheetModel::SheetName(std::uintptr_t sheetId) const {
    return sheetId >= 1 && sheetId <= sheetNames_.size() ? sheetNames_[sheetId - 1] : "";
}

void SheetModel::Clear() {
    cells_.clear();
    currentSheet_ = DefaultSheet;
    sheetNames_.assign(1, DefaultSheetName);
}

} // namespace xlstandin
