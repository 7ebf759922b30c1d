#include "CellLine.h"

#include "AsciiText.h"
#include "FormulaParser.h"
#include "LineFile.h"
#include "WorkbookCallbacks.h"

namespace xlhost {

using xlstandin::HostValue;

namespace {

void SkipBlanks(const std::string& text, std::size_t& position) {
    while (position < text.size() && (text[position] == ' ' || text[position] == '\t')) {
        ++position;
    }
}

bool OnFirstSheet(const CellReference& cell) {
    return cell.sheet.empty() || xlstandin::LowerAscii(cell.sheet) ==
                                     xlstandin::LowerAscii(xlstandin::SheetModel::DefaultSheetName);
}

} // namespace

bool CellLine::IsCellLine(const std::string& text) {
    std::size_t position = 0;
    CellReference cell;
    std::string reason;
    return ReadTarget(text, position, SheetGrid::Of(12), cell, reason) && position < text.size() &&
           text[position] == '=';
}

bool CellLine::Parse(const std::string& text, const SheetGrid& grid, CellAssignment& assignment,
                     std::string& reason) {
    std::size_t position = 0;
    CellReference cell;
    if (!ReadTarget(text, position, grid, cell, reason)) {
        if (reason.empty()) {
            reason = "expected REF=VALUE, a cell such as A1, $B$2 or Sheet2!C3";
        }
        return false;
    }
    if (position >= text.size() || text[position] != '=') {
        reason = "expected \"=\" and a value after the cell";
        return false;
    }
    if (!cell.IsOneCell()) {
        reason = "a value goes to one cell (an array to the block starting there)";
        return false;
    }
    HostValue value;
    if (!FormulaParser::ParseValue(text.substr(position + 1), value, reason)) {
        reason = "the value: " + reason;
        return false;
    }
    if (!CheckBlock(cell, value, grid, reason)) {
        return false;
    }
    assignment = CellAssignment{cell, value};
    return true;
}

bool CellLine::ReadTarget(const std::string& text, std::size_t& position, const SheetGrid& grid,
                          CellReference& cell, std::string& reason) {
    SkipBlanks(text, position);
    if (!CellReferenceReader::Read(text, position, grid, cell, reason)) {
        return false;
    }
    SkipBlanks(text, position);
    return true;
}

bool CellLine::CheckBlock(const CellReference& cell, const HostValue& value, const SheetGrid& grid,
                          std::string& reason) {
    const bool isArray = value.Is(HostValue::Kind::Array);
    const std::int64_t lastRow = cell.area.rowFirst + (isArray ? value.Rows() : 1) - 1;
    const std::int64_t lastColumn = cell.area.columnFirst + (isArray ? value.Columns() : 1) - 1;
    if (lastRow >= grid.rows || lastColumn >= grid.columns) {
        reason =
            "the array reaches beyond the sheet's last cell " + CellReferenceReader::LastCell(grid);
        return false;
    }
    const int formulas = xlstandin::WorkbookCallbacks::FormulaColumn;
    if (OnFirstSheet(cell) && cell.area.columnFirst <= formulas && lastColumn >= formulas) {
        reason = "column " + CellReferenceReader::ColumnName(formulas) + " of " +
                 xlstandin::SheetModel::DefaultSheetName + " holds the formulas";
        return false;
    }
    return true;
}

bool CellLine::ReadFile(const std::string& path, const SheetGrid& grid,
                        std::vector<CellAssignment>& assignments, std::string& error) {
    std::vector<std::string> lines;
    return LineFile::Read(path, lines, error) && ParseLines(lines, path, grid, assignments, error);
}

bool CellLine::ParseLines(const std::vector<std::string>& lines, const std::string& name,
                          const SheetGrid& grid, std::vector<CellAssignment>& assignments,
                          std::string& error) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        CellAssignment assignment;
        std::string reason;
        if (LineFile::IsComment(lines[i])) {
            continue;
        }
        if (!Parse(lines[i], grid, assignment, reason)) {
            error = name + ":" + std::to_string(i + 1) + ": " + reason;
            return false;
        }
        assignments.push_back(assignment);
    }
    return true;
}

void CellLine::Apply(const CellAssignment& assignment, xlstandin::SheetModel& sheets) {
    const std::uintptr_t sheetId =
        sheets.SheetNamed(assignment.cell.sheet.empty() ? xlstandin::SheetModel::DefaultSheetName
                                                        : assignment.cell.sheet);
    const HostValue& value = assignment.value;
    const xlstandin::CellArea& at = assignment.cell.area;
    if (!value.Is(HostValue::Kind::Array)) {
        sheets.SetCell(sheetId, at.rowFirst, at.columnFirst, value);
        return;
    }
    for (int row = 0; row < value.Rows(); ++row) {
        for (int column = 0; column < value.Columns(); ++column) {
            sheets.SetCell(sheetId, at.rowFirst + row, at.columnFirst + column,
                           value.At(row, column));
        }
    }
}

} // namespace xlhost
