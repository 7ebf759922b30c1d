#include <Win32Compat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class EnvironmentTest : public ::testing::Test {
protected:
    void TearDown() override { win32compat::ResetEnvironment(); }

    static std::string Get(const char* name) {
        char buffer[64];
        SetLastError(0);
        const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
            return "<missing>";
        }
        return std::string(buffer, length);
    }
};

TEST_F(EnvironmentTest, ShortBufferGetsNothingAndTheSizeNeeded) {
    ASSERT_TRUE(SetEnvironmentVariableA("TESMOR_PROBE", "abc"));
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(GetEnvironmentVariableA("TESMOR_PROBE", buffer, 3), 4u);
    EXPECT_STREQ(buffer, "xxxxxxx");
    EXPECT_EQ(GetEnvironmentVariableA("TESMOR_PROBE", nullptr, 0), 4u);
    EXPECT_EQ(GetEnvironmentVariableA("TESMOR_PROBE", buffer, 4), 3u);
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(EnvironmentTest, NamesIgnoreCaseAndNullValueDeletes) {
    ASSERT_TRUE(SetEnvironmentVariableA("Path", "C:\\one"));
    EXPECT_EQ(Get("PATH"), "C:\\one");
    ASSERT_TRUE(SetEnvironmentVariableA("PATH", "C:\\two"));
    EXPECT_EQ(Get("path"), "C:\\two");
    EXPECT_TRUE(SetEnvironmentVariableA("pATH", nullptr));
    EXPECT_EQ(Get("Path"), "<missing>");
    EXPECT_TRUE(SetEnvironmentVariableA("Path", nullptr));
}

TEST_F(EnvironmentTest, EmptyValueClearsTheLastError) {
    ASSERT_TRUE(SetEnvironmentVariableA("TESMOR_EMPTY", ""));
    char buffer[4] = "xx";
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    EXPECT_EQ(GetEnvironmentVariableA("TESMOR_EMPTY", buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "");
}

TEST_F(EnvironmentTest, InvalidNamesAreRefused) {
    for (const char* name : {static_cast<const char*>(nullptr), "", "A=B", "=C:"}) {
        SetLastError(0);
        EXPECT_FALSE(SetEnvironmentVariableA(name, "x"));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

TEST_F(EnvironmentTest, SeededFromTheProcessButNeverWrittenBack) {
    ::setenv("TESMOR_SEEDED", "from process", 1);
    win32compat::ResetEnvironment();
    ::unsetenv("TESMOR_SEEDED");
    EXPECT_EQ(Get("tesmor_seeded"), "from process");
    ASSERT_TRUE(SetEnvironmentVariableA("TESMOR_PRIVATE", "x"));
    EXPECT_EQ(std::getenv("TESMOR_PRIVATE"), nullptr);

    win32compat::ClearEnvironment();
    EXPECT_EQ(Get("TESMOR_SEEDED"), "<missing>");
    EXPECT_EQ(Get("TESMOR_PRIVATE"), "<missing>");
    ASSERT_TRUE(SetEnvironmentVariableA("TESMOR_AFTER_CLEAR", "y"));
    EXPECT_EQ(Get("TESMOR_AFTER_CLEAR"), "y");
}

} // namespace
