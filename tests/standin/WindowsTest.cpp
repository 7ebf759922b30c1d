// Excel's main window behind xlGetHwnd, and the function wizard's window as the library looks
// for it: a top-level window of class "bosa_sdm_XL..." whose parent has the same low word.
#include "LayoutTest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct FoundWindow {
    std::string className;
    HWND parent;
};

BOOL CALLBACK Collect(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    reinterpret_cast<std::vector<FoundWindow>*>(found)->push_back({name, GetParent(window)});
    return TRUE;
}

// Top-level windows owned by the given window.
std::vector<FoundWindow> WindowsOwnedBy(HWND owner) {
    std::vector<FoundWindow> all;
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&all));
    std::vector<FoundWindow> owned;
    for (const FoundWindow& window : all) {
        if (window.parent == owner) {
            owned.push_back(window);
        }
    }
    return owned;
}

std::uint16_t LowWord(HWND window) {
    return static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(window) & 0xFFFF);
}

template <typename Record> class HwndTest : public LayoutTest<Record> {};
TYPED_TEST_SUITE(HwndTest, RecordLayouts, LayoutNames);

// An XLOPER integer holds the low word; Excel 2007 answers all 32 bits to MdCallBack12.
TYPED_TEST(HwndTest, GetHwndAnswersTheMainWindowsHandle) {
    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Call(xlGetHwnd, result, {}));
    ASSERT_EQ(xltypeInt, result->xltype);
    const auto handle = reinterpret_cast<std::uintptr_t>(this->Excel().MainWindow());
    if (this->IsExcel12) {
        EXPECT_EQ(static_cast<std::uint32_t>(handle), static_cast<std::uint32_t>(result->val.w));
    } else {
        EXPECT_EQ(LowWord(this->Excel().MainWindow()), static_cast<std::uint16_t>(result->val.w));
    }
}

class WizardTest : public ExcelStandInTest {
protected:
    std::uint16_t GetHwndLowWord() {
        XLOPER result{};
        EXPECT_EQ(xlretSuccess, CallExcel4v(xlGetHwnd, &result, {}));
        return static_cast<std::uint16_t>(result.val.w);
    }
};

TEST_F(WizardTest, MainWindowHasExcelsClass) {
    char name[64] = {};
    GetClassNameA(Excel().MainWindow(), name, sizeof name);
    EXPECT_EQ(std::string("XLMAIN"), name);
}

TEST_F(WizardTest, OpenWizardIsFoundUnderTheMainWindowUntilClosed) {
    EXPECT_TRUE(WindowsOwnedBy(Excel().MainWindow()).empty());
    Excel().OpenFunctionWizard();
    const auto owned = WindowsOwnedBy(Excel().MainWindow());
    ASSERT_EQ(1u, owned.size());
    EXPECT_EQ("bosa_sdm_XL9", owned[0].className);
    EXPECT_EQ(GetHwndLowWord(), LowWord(owned[0].parent));
    EXPECT_NE(nullptr, Excel().FunctionWizardWindow());

    Excel().CloseFunctionWizard();
    EXPECT_TRUE(WindowsOwnedBy(Excel().MainWindow()).empty());
    EXPECT_EQ(nullptr, Excel().FunctionWizardWindow());
}

TEST_F(WizardTest, WizardClassIsSelectableAndReopeningReplacesTheWindow) {
    for (const char* className : {"BOSA_SDM_XL", "bosa_sdm", "bosa_sdm_XL9"}) {
        Excel().OpenFunctionWizard(className);
        const auto owned = WindowsOwnedBy(Excel().MainWindow());
        ASSERT_EQ(1u, owned.size());
        EXPECT_EQ(className, owned[0].className);
    }
    Excel().CloseFunctionWizard();
}

// Excel's Replace dialog: the wizard's class and owner, but a title of its own.
TEST_F(WizardTest, ReplaceDialogHasTheWizardsClassAndItsOwnTitle) {
    Excel().OpenReplaceDialog();
    const auto owned = WindowsOwnedBy(Excel().MainWindow());
    ASSERT_EQ(1u, owned.size());
    EXPECT_EQ("bosa_sdm_XL9", owned[0].className);
    HWND dialog = Excel().ReplaceDialogWindow();
    ASSERT_NE(nullptr, dialog);
    char title[64] = {};
    EXPECT_EQ(7, GetWindowTextA(dialog, title, sizeof title));
    EXPECT_EQ(std::string("Replace"), title);
    Excel().OpenFunctionWizard();
    EXPECT_EQ(2u, WindowsOwnedBy(Excel().MainWindow()).size());
    EXPECT_EQ(0, GetWindowTextA(Excel().FunctionWizardWindow(), title, sizeof title));
    Excel().CloseReplaceDialog();
    EXPECT_EQ(nullptr, Excel().ReplaceDialogWindow());
    EXPECT_EQ(1u, WindowsOwnedBy(Excel().MainWindow()).size());
    Excel().CloseFunctionWizard();
}

TEST_F(WizardTest, ResetClosesTheWizardAndKeepsTheMainWindow) {
    HWND main = Excel().MainWindow();
    Excel().OpenFunctionWizard();
    Excel().OpenReplaceDialog();
    Excel().Reset(12);
    EXPECT_EQ(main, Excel().MainWindow());
    EXPECT_TRUE(WindowsOwnedBy(main).empty());
}

#ifndef _WIN32
// The low word compares as an unsigned 16-bit number even where a short reads it as negative.
TEST_F(WizardTest, NativelyTheMainHandleCanHaveAHighLowWord) {
    Excel().SetMainWindowHandleValue(0x1234ABCD);
    XLOPER result{};
    ASSERT_EQ(xlretSuccess, CallExcel4v(xlGetHwnd, &result, {}));
    EXPECT_EQ(static_cast<short>(0xABCD), result.val.w);
    Excel().OpenFunctionWizard();
    const auto owned = WindowsOwnedBy(Excel().MainWindow());
    ASSERT_EQ(1u, owned.size());
    EXPECT_EQ(0xABCD, LowWord(owned[0].parent));
    Excel().SetMainWindowHandleValue(0);
}
#endif

} // namespace
