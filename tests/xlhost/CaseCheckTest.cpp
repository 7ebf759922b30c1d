// Case files of xlhost --check: how lines are read, how results are compared, and the lines a
// check prints.
#include "CaseCheck.h"
#include "CaseFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using xlhost::CaseCheck;
using xlhost::CaseFile;
using xlhost::CaseLine;
using xlhost::SheetGrid;

std::vector<CaseLine> Read(const std::vector<std::string>& lines) {
    std::vector<CaseLine> cases;
    std::string error;
    EXPECT_TRUE(CaseFile::Parse(lines, "t.cases", SheetGrid::Of(12), cases, error)) << error;
    return cases;
}

std::string Refused(const std::vector<std::string>& lines) {
    std::vector<CaseLine> cases;
    std::string error;
    EXPECT_FALSE(CaseFile::Parse(lines, "t.cases", SheetGrid::Of(12), cases, error));
    return error;
}

TEST(CaseFile, ReadsFormulasExpectedResultsAndCellsWithTheirLines) {
    const std::vector<CaseLine> cases =
        Read({"# twice", "", "A1=21", "=Twice(A1) => 42", "  Join(\"=>\", \"a\") =>  \"=> a\"  "});
    ASSERT_EQ(3u, cases.size());
    EXPECT_TRUE(cases[0].setsCells);
    EXPECT_EQ(3, cases[0].number);
    EXPECT_FALSE(cases[1].setsCells);
    EXPECT_EQ(4, cases[1].number);
    EXPECT_EQ("=Twice(A1)", cases[1].formulaText);
    EXPECT_EQ("42", cases[1].expected);
    EXPECT_EQ("Twice", cases[1].formula.name);
    EXPECT_EQ("Join(\"=>\", \"a\")", cases[2].formulaText);
    EXPECT_EQ("\"=> a\"", cases[2].expected);
}

TEST(CaseFile, NamesTheFileAndLineOfWhatDoesNotRead) {
    EXPECT_EQ("t.cases:2: expected FORMULA => EXPECTED, or REF=VALUE",
              Refused({"f(1) => 1", "f(2)"}));
    EXPECT_EQ("t.cases:1: cannot read formula: at column 4: expected \",\" or \")\"",
              Refused({"f(1 => 1"}));
    EXPECT_EQ("t.cases:1: no expected result after \"=>\"", Refused({"f(1) =>  "}));
    EXPECT_EQ("t.cases:1: column IV of Sheet1 holds the formulas", Refused({"IV2=1"}));
    std::vector<CaseLine> cases;
    std::string error;
    EXPECT_FALSE(CaseFile::Read("no/such.cases", SheetGrid::Of(12), cases, error));
    EXPECT_EQ("cannot read no/such.cases", error);
}

TEST(CaseCheck, NumbersMatchTo15SignificantDigitsOtherResultsExactly) {
    EXPECT_TRUE(CaseCheck::Matches("0.3", "0.30000000000000004"));
    EXPECT_TRUE(CaseCheck::Matches("1e+20", "100000000000000000000"));
    EXPECT_TRUE(CaseCheck::Matches("0", "-0"));
    EXPECT_TRUE(CaseCheck::Matches("123456789012345", "123456789012345.2"));
    EXPECT_FALSE(CaseCheck::Matches("123456789012345", "123456789012346"));
    EXPECT_FALSE(CaseCheck::Matches("0.1", "0.09999999962747097"));
    EXPECT_FALSE(CaseCheck::Matches("42", "\"42\"")) << "a text is no number";
    EXPECT_FALSE(CaseCheck::Matches("\"a\"", "\"A\""));
    EXPECT_FALSE(CaseCheck::Matches("{0.3}", "{0.30000000000000004}")) << "arrays exactly";
    EXPECT_FALSE(CaseCheck::Matches("#NUM!", "1e+309"));
    EXPECT_TRUE(CaseCheck::Matches("#N/A", "#N/A"));
    EXPECT_FALSE(CaseCheck::Matches("42 ", "42"));
}

TEST(CaseCheck, PrintsEachFailureAndTheCounts) {
    const std::vector<CaseLine> cases =
        Read({"f(1) => 2", "A1=5", "f(2) => 4", "", "f(3) => \"x\""});
    std::ostringstream out;
    CaseCheck check(out);
    check.Compare(cases[0], "2");
    check.Compare(cases[2], "5");
    check.Compare(cases[3], "\"x\"");
    EXPECT_EQ(1, check.Close());
    EXPECT_EQ("line 3: f(2): expected 4, got 5\n2 passed, 1 failed\n", out.str());
}

} // namespace
