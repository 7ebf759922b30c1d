// Lines of the files xlhost reads: either line end, a byte order mark, comments.
#include "LineFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(LineFile, SplitsLinesOfEitherEndAndSkipsAByteOrderMark) {
    EXPECT_EQ((std::vector<std::string>{"A1=1", "", "f(1) => 1", "  # x"}),
              xlhost::LineFile::Split("\xEF\xBB\xBF"
                                      "A1=1\r\n\nf(1) => 1\n  # x"));
    EXPECT_EQ(std::vector<std::string>{"\xEF\xBB"}, xlhost::LineFile::Split("\xEF\xBB"));
    EXPECT_TRUE(xlhost::LineFile::Split("").empty());
    EXPECT_TRUE(xlhost::LineFile::Split("\n\r\n") == (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(xlhost::LineFile::IsComment("  # x"));
    EXPECT_TRUE(xlhost::LineFile::IsComment(" \t"));
    EXPECT_FALSE(xlhost::LineFile::IsComment("A1=\"#\""));
    EXPECT_FALSE(xlhost::LineFile::IsComment("  h( 2 )"));
}

TEST(LineFile, ReadsAWholeFileAndSaysWhenItCannot) {
    const std::string name = ::testing::TempDir() + "xlhost_lines.txt";
    const std::string written(100000, 'x');
    std::FILE* file = std::fopen(name.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(written.data(), 1, written.size(), file);
    std::fwrite("\r\nlast", 1, 6, file);
    std::fclose(file);
    std::vector<std::string> lines;
    std::string error;
    EXPECT_TRUE(xlhost::LineFile::Read(name, lines, error));
    EXPECT_EQ((std::vector<std::string>{written, "last"}), lines);
    std::remove(name.c_str());
    EXPECT_FALSE(xlhost::LineFile::Read(name, lines, error));
    EXPECT_EQ("cannot read " + name, error);
}

} // namespace
