// Cell values given as REF=VALUE: what they set on which sheet, arrays filling blocks, and the
// reasons for lines xlhost refuses, with their file and line.
#include "CellLine.h"
#include "ResultText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using xlhost::CellAssignment;
using xlhost::CellLine;
using xlhost::SheetGrid;
using xlstandin::HostValue;
using xlstandin::SheetModel;

std::string Printed(const HostValue& value) {
    return xlhost::ResultText::Of(value, true);
}

CellAssignment Read(const std::string& line, const SheetGrid& grid = SheetGrid::Of(12)) {
    CellAssignment assignment;
    std::string reason;
    EXPECT_TRUE(CellLine::Parse(line, grid, assignment, reason)) << line << ": " << reason;
    return assignment;
}

std::string Refused(const std::string& line, const SheetGrid& grid = SheetGrid::Of(12)) {
    CellAssignment assignment;
    std::string reason;
    EXPECT_FALSE(CellLine::Parse(line, grid, assignment, reason)) << line;
    return reason;
}

TEST(CellLine, SetsValuesOnTheFirstSheetAndOnSheetsAddedByName) {
    SheetModel sheets;
    CellLine::Apply(Read("A1=2.5"), sheets);
    CellLine::Apply(Read(" $B$2 = \"a\"\"b\" "), sheets);
    CellLine::Apply(Read("Sheet2!C3=TRUE"), sheets);
    CellLine::Apply(Read("'My Sheet'!A1=#N/A"), sheets);
    CellLine::Apply(Read("sheet1!A2=-1E-07"), sheets);
    EXPECT_EQ("2.5", Printed(sheets.Cell(SheetModel::DefaultSheet, 0, 0)));
    EXPECT_EQ("\"a\"\"b\"", Printed(sheets.Cell(SheetModel::DefaultSheet, 1, 1)));
    EXPECT_EQ("-1e-07", Printed(sheets.Cell(SheetModel::DefaultSheet, 1, 0)));
    EXPECT_EQ("TRUE", Printed(sheets.Cell(2, 2, 2)));
    EXPECT_EQ("Sheet2", sheets.SheetName(2));
    EXPECT_EQ("#N/A", Printed(sheets.Cell(3, 0, 0)));
    EXPECT_EQ("My Sheet", sheets.SheetName(3));
    EXPECT_EQ("", sheets.SheetName(4));
}

TEST(CellLine, AnArrayFillsTheBlockStartingAtItsCell) {
    SheetModel sheets;
    CellLine::Apply(Read("B2={1,2,3;\"x\",FALSE,#DIV/0!}"), sheets);
    EXPECT_EQ("(nil)", Printed(sheets.Cell(SheetModel::DefaultSheet, 0, 0)));
    EXPECT_EQ("1", Printed(sheets.Cell(SheetModel::DefaultSheet, 1, 1)));
    EXPECT_EQ("3", Printed(sheets.Cell(SheetModel::DefaultSheet, 1, 3)));
    EXPECT_EQ("\"x\"", Printed(sheets.Cell(SheetModel::DefaultSheet, 2, 1)));
    EXPECT_EQ("#DIV/0!", Printed(sheets.Cell(SheetModel::DefaultSheet, 2, 3)));
    EXPECT_EQ("(nil)", Printed(sheets.Cell(SheetModel::DefaultSheet, 2, 4)));
}

TEST(CellLine, TellsCellLinesFromFormulas) {
    EXPECT_TRUE(CellLine::IsCellLine("A1=1"));
    EXPECT_TRUE(CellLine::IsCellLine(" 'My Sheet'!$A$1 =1"));
    EXPECT_TRUE(CellLine::IsCellLine("A1:B2=1")) << "refused later, with its reason";
    EXPECT_FALSE(CellLine::IsCellLine("=Twice(A1) => 2"));
    EXPECT_FALSE(CellLine::IsCellLine("Twice(1) => 2"));
    EXPECT_FALSE(CellLine::IsCellLine("LOG10(1) => 0"));
}

TEST(CellLine, RefusesWhatItCannotSet) {
    EXPECT_EQ("expected REF=VALUE, a cell such as A1, $B$2 or Sheet2!C3", Refused("x=1"));
    EXPECT_EQ("expected \"=\" and a value after the cell", Refused("A1 1"));
    EXPECT_EQ("a value goes to one cell (an array to the block starting there)",
              Refused("A1:B2=1"));
    EXPECT_EQ("the value: at column 1: expected a value", Refused("A1="));
    EXPECT_EQ("the value: at column 1: an array holds constants only", Refused("A1=B1"));
    EXPECT_EQ("\"IW1\" reaches beyond the sheet's last cell IV65536",
              Refused("IW1=1", SheetGrid::Of(11)));
    EXPECT_EQ("the array reaches beyond the sheet's last cell XFD1048576", Refused("XFD1={1,2}"));
}

// The formulas live in column IV of the first sheet; no cell there may be given a value.
TEST(CellLine, KeepsTheFormulasColumnFree) {
    EXPECT_EQ("column IV of Sheet1 holds the formulas", Refused("IV1=1"));
    EXPECT_EQ("column IV of Sheet1 holds the formulas", Refused("SHEET1!$IV$9=1"));
    EXPECT_EQ("column IV of Sheet1 holds the formulas", Refused("IU1={1,2}"));
    Read("IU1={1;2}");
    Read("IW1=1");
    Read("Sheet2!IV1=1");
}

TEST(CellLine, ReadsFilesLineByLineAndNamesTheLineItStoppedAt) {
    std::vector<CellAssignment> cells;
    std::string error;
    ASSERT_TRUE(CellLine::ParseLines({"# prices", "A1=1", "", "  # more", "B1=2"}, "c.txt",
                                     SheetGrid::Of(12), cells, error))
        << error;
    ASSERT_EQ(2u, cells.size());
    EXPECT_EQ(1, cells[1].cell.area.columnFirst);
    cells.clear();
    EXPECT_FALSE(
        CellLine::ParseLines({"A1=1", "A2=\"open"}, "c.txt", SheetGrid::Of(12), cells, error));
    EXPECT_EQ("c.txt:2: the value: at column 1: text without its closing quote", error);
    EXPECT_FALSE(CellLine::ReadFile("no/such/file.txt", SheetGrid::Of(12), cells, error));
    EXPECT_EQ("cannot read no/such/file.txt", error);
}

} // namespace
