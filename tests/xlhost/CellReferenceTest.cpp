// References as formulas and cell lines write them: cells, blocks, sheets plain and quoted, the
// grid of each Excel version, and the texts that are names or calls rather than references.
#include "CellReference.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using xlhost::CellReference;
using xlhost::CellReferenceReader;
using xlhost::SheetGrid;

const SheetGrid excel12 = SheetGrid::Of(12);
const SheetGrid excel4 = SheetGrid::Of(11);

// "sheet|R1C1:R2C2|rest" for a reference read at the start of the text.
std::string Read(const std::string& text, const SheetGrid& grid = excel12) {
    std::size_t position = 0;
    CellReference reference;
    std::string reason;
    if (!CellReferenceReader::Read(text, position, grid, reference, reason)) {
        EXPECT_EQ(0u, position) << text;
        return reason.empty() ? "no reference" : "refused: " + reason;
    }
    std::ostringstream described;
    const xlstandin::CellArea& area = reference.area;
    described << reference.sheet << "|R" << area.rowFirst + 1 << "C" << area.columnFirst + 1 << ":R"
              << area.rowLast + 1 << "C" << area.columnLast + 1 << "|" << text.substr(position);
    return described.str();
}

TEST(CellReference, ReadsCellsAndBlocksAbsoluteOrNot) {
    EXPECT_EQ("|R1C1:R1C1|", Read("A1"));
    EXPECT_EQ("|R2C2:R2C2|)", Read("$B$2)"));
    EXPECT_EQ("|R2C2:R3C3|, 1)", Read("b2:$C3, 1)"));
    EXPECT_EQ("|R1C1:R10C2|", Read("B10:A1")) << "corners in any order";
    EXPECT_EQ("|R1048576C16384:R1048576C16384|", Read("XFD1048576"));
    EXPECT_EQ("|R65536C256:R65536C256|", Read("IV65536", excel4));
}

TEST(CellReference, ReadsSheetsPlainAndQuoted) {
    EXPECT_EQ("Sheet2|R1C1:R10C1|", Read("Sheet2!A1:A10"));
    EXPECT_EQ("My Sheet|R1C1:R1C1|", Read("'My Sheet'!A1"));
    EXPECT_EQ("Bob's|R3C3:R3C3|", Read("'Bob''s'!C3"));
    EXPECT_EQ("Data.2024|R1C2:R1C2|", Read("Data.2024!$B$1"));
    EXPECT_EQ("Maß|R1C1:R1C1|", Read("Maß!A1")) << "bytes of UTF-8 belong to names";
}

TEST(CellReference, NamesCallsAndNumbersAreNoReferences) {
    EXPECT_EQ("no reference", Read("TRUE"));
    EXPECT_EQ("no reference", Read("LOG10(2)")) << "a call, though LOG10 is a cell";
    EXPECT_EQ("no reference", Read("ABCD1")) << "four letters";
    EXPECT_EQ("no reference", Read(std::string(40, 'Z') + "1")) << "more letters than 64 bits hold";
    EXPECT_EQ("no reference", Read("A1B"));
    EXPECT_EQ("no reference", Read("A1_x"));
    EXPECT_EQ("no reference", Read("2.5"));
    EXPECT_EQ("no reference", Read("bin_Dec2Bin(1)"));
    EXPECT_EQ("no reference", Read("A"));
}

TEST(CellReference, RefusesWhatLooksLikeAReferenceButIsNone) {
    EXPECT_EQ("refused: expected a cell after \"Sheet2!\"", Read("Sheet2!x"));
    EXPECT_EQ("refused: expected a cell after \"My Sheet!\"", Read("'My Sheet'!A1B"));
    EXPECT_EQ("refused: a quoted sheet name needs \"!\" and a cell after it", Read("'open"));
    EXPECT_EQ("refused: a quoted sheet name needs \"!\" and a cell after it", Read("'x'A1"));
    EXPECT_EQ("refused: expected a cell after \":\"", Read("A1:"));
}

// Excel before 2007 has 65,536 rows and 256 columns; XFD1 was a name there, no cell.
TEST(CellReference, RefusesCellsBeyondTheGrid) {
    EXPECT_EQ("refused: \"A0\" reaches beyond the sheet's last cell XFD1048576", Read("A0"));
    EXPECT_EQ("refused: \"XFE1\" reaches beyond the sheet's last cell XFD1048576", Read("XFE1"));
    EXPECT_EQ("refused: \"A1:A1048577\" reaches beyond the sheet's last cell XFD1048576",
              Read("A1:A1048577"));
    EXPECT_EQ("refused: \"A99999999999\" reaches beyond the sheet's last cell XFD1048576",
              Read("A99999999999"));
    EXPECT_EQ("refused: \"IW1\" reaches beyond the sheet's last cell IV65536", Read("IW1", excel4));
    EXPECT_EQ("refused: \"Sheet2!A65537\" reaches beyond the sheet's last cell IV65536",
              Read("Sheet2!A65537", excel4));
}

TEST(CellReference, NamesCellsInA1Style) {
    EXPECT_EQ("A1", CellReferenceReader::CellName(0, 0));
    EXPECT_EQ("Z2", CellReferenceReader::CellName(1, 25));
    EXPECT_EQ("AA3", CellReferenceReader::CellName(2, 26));
    EXPECT_EQ("IV", CellReferenceReader::ColumnName(255));
    EXPECT_EQ("XFD1048576", CellReferenceReader::LastCell(excel12));
    EXPECT_EQ("IV65536", CellReferenceReader::LastCell(excel4));
}

} // namespace
