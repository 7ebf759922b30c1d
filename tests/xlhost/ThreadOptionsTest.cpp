// xlhost's --threads and --repeat: positive counts in both spellings, one each by default.
#include "HostOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using xlhost::HostOptions;

bool Parse(const std::vector<std::string>& arguments, HostOptions& options, std::string& error) {
    return HostOptions::Parse(arguments, options, error);
}

TEST(ThreadOptions, CountsInBothSpellings) {
    HostOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"a.xll"}, options, error)) << error;
    EXPECT_EQ(options.threads, 1);
    EXPECT_EQ(options.repeat, 1);
    ASSERT_TRUE(Parse({"--threads", "8", "a.xll", "--repeat=200", "f(1)"}, options, error))
        << error;
    EXPECT_EQ(options.threads, 8);
    EXPECT_EQ(options.repeat, 200);
    EXPECT_EQ(options.addIn, "a.xll");
    EXPECT_EQ(options.formulas, std::vector<std::string>{"f(1)"});
}

TEST(ThreadOptions, RefusesWhatIsNoPositiveCount) {
    HostOptions options;
    std::string error;
    EXPECT_FALSE(Parse({"--threads", "0", "a.xll"}, options, error));
    EXPECT_EQ(error, "--threads needs a positive count, not \"0\"");
    EXPECT_FALSE(Parse({"--repeat=-3", "a.xll"}, options, error));
    EXPECT_EQ(error, "--repeat needs a positive count, not \"-3\"");
    EXPECT_FALSE(Parse({"a.xll", "--threads"}, options, error));
    EXPECT_EQ(error, "--threads needs a value");
    EXPECT_FALSE(Parse({"--repeat", "two", "a.xll"}, options, error));
    EXPECT_EQ(error, "--repeat needs a positive count, not \"two\"");
}

} // namespace
