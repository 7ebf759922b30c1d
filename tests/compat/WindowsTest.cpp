#include <Win32Compat.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class WindowsTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (HWND window : created) {
            win32compat::DestroyTableWindow(window);
        }
        win32compat::ClearMessageBoxCalls();
    }

    HWND Create(const std::string& className, HWND parent = nullptr, UINT_PTR value = 0) {
        HWND window = win32compat::CreateTableWindow(className, parent, value);
        created.push_back(window);
        return window;
    }

    // Visits windows until `limit` have been seen, recording each with its class name.
    struct Visit {
        std::vector<std::pair<HWND, std::string>> seen;
        std::size_t limit = 100;
    };
    static BOOL CALLBACK Record(HWND window, LPARAM lParam) {
        auto& visit = *reinterpret_cast<Visit*>(lParam);
        char name[64];
        const int length = GetClassNameA(window, name, sizeof name);
        visit.seen.emplace_back(window, std::string(name, length));
        return visit.seen.size() < visit.limit;
    }

    std::vector<HWND> created;
};

TEST_F(WindowsTest, EnumWindowsVisitsInCreationOrderUntilStopped) {
    HWND main = Create("XLMAIN", nullptr, 0x2A0B3C);
    HWND wizard = Create("bosa_sdm_XL9", main);
    HWND other = Create("Other");
    Visit all;
    EXPECT_TRUE(EnumWindows(&Record, reinterpret_cast<LPARAM>(&all)));
    const std::vector<std::pair<HWND, std::string>> expected{
        {main, "XLMAIN"}, {wizard, "bosa_sdm_XL9"}, {other, "Other"}};
    EXPECT_EQ(all.seen, expected);

    Visit two;
    two.limit = 2;
    EXPECT_FALSE(EnumWindows(&Record, reinterpret_cast<LPARAM>(&two)));
    EXPECT_EQ(two.seen.size(), 2u);
}

// One pass counts once whatever the windows; the callback runs as the caller's code, not as the
// compatibility layer's.
TEST_F(WindowsTest, EachEnumWindowsPassCountsOnce) {
    Create("First");
    Create("Second");
    const win32compat::CallCounts before = win32compat::Counts();
    std::vector<bool> inStandIn;
    EnumWindows(
        [](HWND, LPARAM parameter) -> BOOL {
            reinterpret_cast<std::vector<bool>*>(parameter)->push_back(
                win32compat::InExcelStandIn());
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&inStandIn));
    EXPECT_EQ(win32compat::Counts().windowSearches - before.windowSearches, 1u);
    EXPECT_EQ(win32compat::Counts().mutexOpens, before.mutexOpens);
    ASSERT_GE(inStandIn.size(), 2u);
    for (bool inside : inStandIn)
        EXPECT_FALSE(inside);
}

TEST_F(WindowsTest, HandlesAreChosenOrGiven) {
    HWND given = Create("Given", nullptr, 0x10010);
    EXPECT_EQ(given, reinterpret_cast<HWND>(0x10010));
    HWND chosen = Create("Chosen");
    EXPECT_NE(chosen, nullptr);
    EXPECT_NE(chosen, given);
    SetLastError(0);
    EXPECT_EQ(win32compat::CreateTableWindow("Twice", nullptr, 0x10010), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(WindowsTest, GetClassNameTruncatesAndRejectsUnknownWindows) {
    HWND wizard = Create("bosa_sdm_XL9");
    char name[16] = "xxxxxxxxxxxxxxx";
    EXPECT_EQ(GetClassNameA(wizard, name, 5), 4);
    EXPECT_STREQ(name, "bosa");
    EXPECT_EQ(GetClassNameA(wizard, name, 13), 12);
    EXPECT_STREQ(name, "bosa_sdm_XL9");
    SetLastError(0);
    EXPECT_EQ(GetClassNameA(reinterpret_cast<HWND>(0x777), name, 16), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowsTest, GetWindowTextGivesTheTitleCut) {
    HWND replace = win32compat::CreateTableWindow("bosa_sdm_XL9", nullptr, 0, "Replace");
    created.push_back(replace);
    HWND untitled = Create("bosa_sdm_XL9");
    char title[16] = "xxxxxxxxxxxxxxx";
    EXPECT_EQ(GetWindowTextA(replace, title, sizeof title), 7);
    EXPECT_STREQ(title, "Replace");
    EXPECT_EQ(GetWindowTextA(replace, title, 4), 3);
    EXPECT_STREQ(title, "Rep");
    EXPECT_EQ(GetWindowTextA(untitled, title, sizeof title), 0);
    EXPECT_STREQ(title, "");
    SetLastError(0);
    EXPECT_EQ(GetWindowTextA(reinterpret_cast<HWND>(0x777), title, 16), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowsTest, DestroyingAParentDestroysWhatItOwns) {
    HWND main = Create("XLMAIN");
    HWND wizard = Create("bosa_sdm_XL9", main);
    HWND dialog = Create("Dialog", wizard);
    HWND unrelated = Create("Unrelated");
    EXPECT_EQ(GetParent(wizard), main);
    EXPECT_EQ(GetParent(main), nullptr);
    win32compat::DestroyTableWindow(main);
    Visit all;
    EnumWindows(&Record, reinterpret_cast<LPARAM>(&all));
    ASSERT_EQ(all.seen.size(), 1u);
    EXPECT_EQ(all.seen[0].first, unrelated);
    SetLastError(0);
    EXPECT_EQ(GetParent(dialog), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST(TextTest, CompareStringCountsAndCase) {
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrlenA("XLMAIN"), 6);
    EXPECT_EQ(CompareStringA(0, NORM_IGNORECASE, "bosa_sdm_XL9", 11, "BOSA_SDM_XL", -1),
              CSTR_EQUAL);
    EXPECT_EQ(CompareStringA(0, 0, "bosa_sdm_XL9", 11, "BOSA_SDM_XL", -1), CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringA(0, NORM_IGNORECASE, "bosa_sdm_XL9", -1, "BOSA_SDM_XL", 11),
              CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringA(0, 0, "abc", -1, "abd", -1), CSTR_LESS_THAN);
    EXPECT_EQ(CompareStringA(0, 0, "ab\0cd", 5, "ab", -1), CSTR_EQUAL);
    EXPECT_EQ(CompareStringA(0, NORM_IGNORECASE, "_", -1, "A", -1), CSTR_LESS_THAN);
    EXPECT_EQ(CompareStringA(0, 0, "\xE9", -1, "z", -1), CSTR_GREATER_THAN);
}

TEST(TextTest, CompareStringRejectsNullAndUnknownFlags) {
    SetLastError(0);
    EXPECT_EQ(CompareStringA(0, 0, nullptr, -1, "a", -1), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CompareStringA(0, 0x1000, "a", -1, "a", -1), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
}

TEST_F(WindowsTest, MessageBoxIsPrintedAndRecorded) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Loaded", "Tesmor", MB_OK | MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Oops", nullptr, MB_OK), IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "MessageBox [Tesmor]: Loaded\nMessageBox [Error]: Oops\n");
    const auto& calls = win32compat::MessageBoxCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text, "Loaded");
    EXPECT_EQ(calls[0].caption, "Tesmor");
    EXPECT_EQ(calls[0].type, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(calls[1].caption, "Error");
}

} // namespace
