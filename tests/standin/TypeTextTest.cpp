// Registration type texts as Excel takes them: every documented code, the modifiers with their
// rules, the Excel versions that introduced them, and the argument limits.
#include "TypeText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using xlstandin::TypeText;

// The reason Excel of the version refuses the text, or "taken".
std::string Verdict(const std::string& text, int version = 12, bool throughExcel12 = true) {
    TypeText parsed;
    std::string reason;
    return TypeText::Parse(text, version, throughExcel12, parsed, reason) ? "taken" : reason;
}

TypeText Parsed(const std::string& text, int version = 12) {
    TypeText parsed;
    std::string reason;
    EXPECT_TRUE(TypeText::Parse(text, version, true, parsed, reason)) << reason;
    return parsed;
}

TEST(TypeText, EveryDocumentedCodeSplitsIntoItsArguments) {
    const TypeText all = Parsed("QABCC%DD%EFF%GG%HIJKK%LMNOO%PQRU");
    EXPECT_EQ("Q", all.ResultType());
    EXPECT_EQ((std::vector<std::string>{"A", "B",  "C",  "C%", "D", "D%", "E",  "F", "F%",
                                        "G", "G%", "H",  "I",  "J", "K",  "K%", "L", "M",
                                        "N", "O",  "O%", "P",  "Q", "R",  "U"}),
              all.ArgumentTypes());
    EXPECT_EQ("taken", Verdict("C%C%"));
    EXPECT_EQ("taken", Verdict(">QX", 14));
    EXPECT_EQ(0u, Parsed("B").ArgumentCount());
}

TEST(TypeText, UnknownAndMisplacedCodesAreRefusedWithTheReason) {
    EXPECT_EQ("type text \">X\": X needs Excel 14 or later", Verdict(">X"));
    EXPECT_EQ("type text \"UX\": X needs Excel 14 or later", Verdict("UX"));
    EXPECT_EQ("type text \"UZ\": unknown letter Z", Verdict("UZ"));
    EXPECT_EQ("type text \"BbB\": unknown letter b", Verdict("BbB"));
    EXPECT_EQ("type text \"\": no result code", Verdict(""));
    EXPECT_EQ("type text \"%B\": unknown letter %", Verdict("%B"));
    EXPECT_EQ("type text \"BJ%\": unknown letter %", Verdict("BJ%"));
    EXPECT_EQ("type text \"B!B\": code B after the modifiers", Verdict("B!B"));
    EXPECT_EQ("type text \"B1\": 1 stands for the result only", Verdict("B1"));
    EXPECT_EQ("type text \"OB\": O cannot be the result", Verdict("OB"));
    EXPECT_EQ("type text \"O%B\": O% cannot be the result", Verdict("O%B"));
}

TEST(TypeText, InPlaceResultsNameAnArgumentThatCanBeWritten) {
    const TypeText inPlace = Parsed("2BF");
    EXPECT_EQ(2u, inPlace.InPlaceArgument());
    EXPECT_EQ(0u, Parsed("FF").InPlaceArgument());
    EXPECT_TRUE(Parsed(">B").ReturnsNothing());
    EXPECT_EQ("type text \"3BF\": result 3 names no argument", Verdict("3BF"));
    EXPECT_EQ("type text \"1B\": result 1 names a B argument, which cannot be modified in place",
              Verdict("1B"));
    EXPECT_EQ("taken", Verdict("1K%"));
    EXPECT_EQ("taken", Verdict("1O"));
}

TEST(TypeText, ModifiersAndTheirRules) {
    const TypeText flagged = Parsed("QQ!$");
    EXPECT_TRUE(flagged.IsVolatile());
    EXPECT_TRUE(flagged.IsThreadSafe());
    EXPECT_FALSE(flagged.IsMacroSheetEquivalent());
    EXPECT_FALSE(flagged.IsClusterSafe());
    EXPECT_TRUE(Parsed("RR#").IsMacroSheetEquivalent());
    EXPECT_TRUE(Parsed("QB&$", 14).IsClusterSafe());
    EXPECT_EQ("type text \"QQ#$\": $ cannot go with #", Verdict("QQ#$"));
    EXPECT_EQ("type text \"QB&\": & needs Excel 14 or later", Verdict("QB&", 12));
    EXPECT_EQ("type text \"QB&#\": & cannot go with #", Verdict("QB&#", 14));
    EXPECT_EQ("type text \"QB&\": & is registered through Excel12 only", Verdict("QB&", 14, false));
    EXPECT_EQ("type text \"BBU&\": & cannot go with U arguments", Verdict("BBU&", 14));
    EXPECT_EQ("type text \"BQX\": an asynchronous function (X) returns nothing (>)",
              Verdict("BQX", 14));
}

TEST(TypeText, VersionsBefore12KnowNoneOfItsCodes) {
    for (const char* code : {"Q", "U", "C%", "D%", "F%", "G%", "K%", "O%"}) {
        EXPECT_EQ("type text \"BB" + std::string(code) + "\": " + code + " needs Excel 12 or later",
                  Verdict("BB" + std::string(code), 11));
        EXPECT_EQ("taken", Verdict("BB" + std::string(code), 12));
    }
    EXPECT_EQ("type text \"BB$\": $ needs Excel 12 or later", Verdict("BB$", 11));
    EXPECT_EQ("taken", Verdict("PPCDEFGHIJKLMNOR!#", 11));
}

TEST(TypeText, ArgumentLimitsAre255AndBefore12Thirty) {
    EXPECT_EQ("taken", Verdict("Q" + std::string(255, 'Q')));
    EXPECT_EQ("type text \"B" + std::string(256, 'B') +
                  "\": 256 arguments, Excel 12 takes at most 255",
              Verdict("B" + std::string(256, 'B')));
    EXPECT_EQ("taken", Verdict("B" + std::string(30, 'B'), 11));
    EXPECT_EQ("type text \"B" + std::string(31, 'B') +
                  "\": 31 arguments, Excel 11 takes at most 30",
              Verdict("B" + std::string(31, 'B'), 11));
    EXPECT_EQ(255u, Parsed("U" + std::string(255, 'U')).ArgumentCount());
}

} // namespace
