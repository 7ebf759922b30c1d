#include <Win32Compat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr DWORD fromSystem = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
constexpr DWORD allocateFromSystem = fromSystem | FORMAT_MESSAGE_ALLOCATE_BUFFER;

// FormatMessageA's allocated text for `code`, released again; "<none>" if nothing came back.
std::string SystemText(DWORD code, DWORD minimumSize = 0) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(allocateFromSystem, nullptr, code, 0,
                                        reinterpret_cast<LPSTR>(&text), minimumSize, nullptr);
    if (text == nullptr) {
        return "<none>";
    }
    EXPECT_EQ(length, std::strlen(text));
    if (minimumSize > 0) {
        text[minimumSize - 1] = '\0'; // AddressSanitizer objects if less was allocated
    }
    const std::string result(text);
    EXPECT_EQ(LocalFree(text), nullptr);
    return result;
}

TEST(ErrorsTest, LastErrorBelongsToTheThread) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    DWORD seenElsewhere = 1;
    std::thread([&seenElsewhere] {
        seenElsewhere = GetLastError();
        SetLastError(ERROR_NOT_OWNER);
    }).join();
    EXPECT_EQ(seenElsewhere, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(ErrorsTest, FormatMessageAllocatesSystemTexts) {
    EXPECT_EQ(SystemText(0), "The operation completed successfully.\r\n");
    EXPECT_EQ(SystemText(2), "The system cannot find the file specified.\r\n");
    EXPECT_EQ(SystemText(6, 200), "The handle is invalid.\r\n");
    EXPECT_EQ(SystemText(8),
              "Not enough memory resources are available to process this command.\r\n");
    EXPECT_EQ(SystemText(87), "The parameter is incorrect.\r\n");
    EXPECT_EQ(SystemText(126), "The specified module could not be found.\r\n");
    EXPECT_EQ(SystemText(127), "The specified procedure could not be found.\r\n");
    EXPECT_EQ(SystemText(203),
              "The system could not find the environment option that was entered.\r\n");
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(ErrorsTest, FormatMessageFailures) {
    char placeholder = 0;
    char* text = &placeholder;
    EXPECT_EQ(FormatMessageA(allocateFromSystem, nullptr, 99999, 0, reinterpret_cast<LPSTR>(&text),
                             0, nullptr),
              0u);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, 6, 0,
                             reinterpret_cast<LPSTR>(&text), 0, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(ErrorsTest, FormatMessageIntoTheCallersBuffer) {
    char buffer[25];
    SetLastError(0);
    EXPECT_EQ(FormatMessageA(fromSystem, nullptr, 6, 0, buffer, 24, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(FormatMessageA(fromSystem, nullptr, 6, 0, buffer, 25, nullptr), 24u);
    EXPECT_STREQ(buffer, "The handle is invalid.\r\n");
}

class DebugTest : public ::testing::Test {
protected:
    void TearDown() override {
        win32compat::SetDebuggerPresent(false);
        win32compat::ClearDebugStrings();
    }
};

TEST_F(DebugTest, OutputReachesOnlyAnAttachedDebugger) {
    EXPECT_FALSE(IsDebuggerPresent());
    OutputDebugStringA("unheard");
    EXPECT_TRUE(win32compat::DebugStrings().empty());
    win32compat::SetDebuggerPresent(true);
    EXPECT_TRUE(IsDebuggerPresent());
    OutputDebugStringA("first\n");
    OutputDebugStringA(nullptr);
    OutputDebugStringA("second");
    EXPECT_EQ(win32compat::DebugStrings(), (std::vector<std::string>{"first\n", "second"}));
    win32compat::ClearDebugStrings();
    EXPECT_TRUE(win32compat::DebugStrings().empty());
}

} // namespace
