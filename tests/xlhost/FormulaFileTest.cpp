// Formulas read from a file or standard input: one a line, whatever the line ends.
#include "FormulaFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using xlhost::FormulaFile;

TEST(FormulaFile, OneFormulaALineWithoutBlankLinesAndComments) {
    EXPECT_EQ((std::vector<std::string>{"f(1)", "=g(\"\xC3\xA4\")", "  h( 2 )", "last()"}),
              FormulaFile::Formulas("\xEF\xBB\xBF"
                                    "f(1)\r\n=g(\"\xC3\xA4\")\n\n  \t\n# a comment\n  # another\n"
                                    "  h( 2 )\nlast()"));
    EXPECT_TRUE(FormulaFile::Formulas("").empty());
    EXPECT_TRUE(FormulaFile::Formulas("\n\r\n").empty());
}

TEST(FormulaFile, ReadsAWholeFileAndSaysWhenItCannot) {
    const std::string name = ::testing::TempDir() + "xlhost_formulas.txt";
    const std::string written(100000, 'x');
    std::FILE* file = std::fopen(name.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(written.data(), 1, written.size(), file);
    std::fclose(file);
    std::string content = "stale";
    EXPECT_TRUE(FormulaFile::Read(name, content));
    EXPECT_EQ(written, content);
    std::remove(name.c_str());
    EXPECT_FALSE(FormulaFile::Read(name, content));
}

} // namespace
