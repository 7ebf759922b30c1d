// Lines of the files xlhost reads: either line end, a byte order mark, comments.
#include "LineFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(LineFile, SplitsLinesOfEitherEndAndSkipsAByteOrderMark) {
    EXPECT_EQ((std::vector<std::string>{"A1=1", "", "f(1) => 1", "  # x"}),
              xlhost::LineFile::Split("\xEF\xBB\xBF"
                                      "A1=1\r\n\nf(1) => 1\n  # x"));
    EXPECT_EQ(std::vector<std::string>{"\xEF\xBB"}, xlhost::LineFile::Split("\xEF\xBB"));
    EXPECT_TRUE(xlhost::LineFile::Split("").empty());
    EXPECT_TRUE(xlhost::LineFile::IsComment("  # x"));
    EXPECT_TRUE(xlhost::LineFile::IsComment(" \t"));
    EXPECT_FALSE(xlhost::LineFile::IsComment("A1=\"#\""));
}

} // namespace
