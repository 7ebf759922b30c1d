// Opening and closing the add-in against the Excel stand-in, and the debugger stream its
// diagnostics go to.
#include "XlOpenClose.h"
#include "GatewayTest.h"
#include "Win32StreamBuf.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

using vornix::Win32StreamBuf;
using vornix::XlfExcel;
using Strings = std::vector<std::string>;

namespace {

std::string ReadPath() {
    const DWORD size = GetEnvironmentVariableA("Path", nullptr, 0);
    if (size == 0)
        return "";
    std::string value(size, '\0');
    value.resize(GetEnvironmentVariableA("Path", &value[0], size));
    return value;
}

std::string OwnModuleDirectory() {
    static const int anchor = 0;
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(&anchor, &region, sizeof(region));
    char name[MAX_PATH + 1] = {};
    GetModuleFileNameA(static_cast<HMODULE>(region.AllocationBase), name, MAX_PATH);
    const std::string file = name;
    const std::size_t separator = file.rfind('\\');
    return separator == std::string::npos ? file : file.substr(0, separator);
}

TEST(Win32StreamBuf, WithoutADebuggerTextIsDroppedAtEachFlush) {
    Win32StreamBuf buffer;
    std::ostream stream(&buffer);
    stream << "abc";
    EXPECT_EQ(buffer.Pending(), "abc");
    stream << std::flush;
    EXPECT_EQ(buffer.Pending(), "");
}

class XlOpenCloseTest : public GatewayTest<Excel12Mode> {
protected:
    void SetUp() override {
        GatewayTest<Excel12Mode>::SetUp();
        savedPath_ = ReadPath();
        savedBuffer_ = std::cerr.rdbuf();
    }
    void TearDown() override {
        SetEnvironmentVariableA("Path", savedPath_.c_str());
        std::cerr.rdbuf(savedBuffer_);
        GatewayTest<Excel12Mode>::TearDown();
    }

    std::string savedPath_;
    std::streambuf* savedBuffer_ = nullptr;
};

TEST_F(XlOpenCloseTest, OpeningPutsTheLibraryDirectoryLastOnThePath) {
    const std::string before = ReadPath();
    EXPECT_EQ(xlAutoOpen(), 1);
    EXPECT_EQ(ReadPath(),
              before.empty() ? OwnModuleDirectory() : before + ";" + OwnModuleDirectory());
    const auto& log = Excel().StatusLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].text, "Registering library...");
    EXPECT_FALSE(log[2].shown);
    EXPECT_EQ(Excel().StatusBarText(), "");
    EXPECT_EQ(xlAutoClose(), 1);
    EXPECT_EQ(XlfExcel::Existing(), nullptr);
    EXPECT_EQ(std::cerr.rdbuf(), savedBuffer_);
}

TEST_F(XlOpenCloseTest, ClosingWithoutOpeningStillStartsAndReleasesTheGateway) {
    delete XlfExcel::Existing();
    const std::size_t before = Excel().Calls().size();
    testing::internal::CaptureStderr();
    EXPECT_EQ(xlAutoClose(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlOpenClose(125): Releasing ressources\n");
    EXPECT_EQ(XlfExcel::Existing(), nullptr);
    ASSERT_GT(Excel().Calls().size(), before);
    EXPECT_EQ(Excel().Calls()[before].function, xlfGetWorkspace);
}

#ifndef _WIN32
class XlOpenCloseNativeTest : public XlOpenCloseTest {
protected:
    void SetUp() override {
        XlOpenCloseTest::SetUp();
        win32compat::SetOwnModule("C:\\x\\y\\lib.xll");
        win32compat::ClearDebugStrings();
    }
    void TearDown() override {
        win32compat::SetVirtualQueryFails(false);
        win32compat::SetDebuggerPresent(false);
        win32compat::ClearDebugStrings();
        XlOpenCloseTest::TearDown();
    }
};

TEST_F(XlOpenCloseNativeTest, PathGetsTheDirectoryAfterASeparator) {
    SetEnvironmentVariableA("Path", "A;B");
    EXPECT_EQ(xlAutoOpen(), 1);
    EXPECT_EQ(ReadPath(), "A;B;C:\\x\\y");
    EXPECT_EQ(Excel().StatusLog()[0].text, "C:\\x\\y\\lib.xll");
    xlAutoClose();
}

TEST_F(XlOpenCloseNativeTest, LongPathsAreReadWithABufferOfTheirSize) {
    const std::string longPath(5000, 'p');
    SetEnvironmentVariableA("Path", longPath.c_str());
    EXPECT_EQ(xlAutoOpen(), 1);
    EXPECT_EQ(ReadPath(), longPath + ";C:\\x\\y");
    xlAutoClose();
}

TEST_F(XlOpenCloseNativeTest, AFileNameWithoutDirectoryIsAppendedWhole) {
    win32compat::SetOwnModule("lib.xll");
    SetEnvironmentVariableA("Path", "A;B");
    xlAutoOpen();
    EXPECT_EQ(ReadPath(), "A;B;lib.xll");
    xlAutoClose();
}

TEST_F(XlOpenCloseNativeTest, AMissingPathBecomesTheDirectoryAlone) {
    SetEnvironmentVariableA("Path", nullptr);
    xlAutoOpen();
    EXPECT_EQ(ReadPath(), "C:\\x\\y");
    xlAutoClose();
}

TEST_F(XlOpenCloseNativeTest, DiagnosticsReachTheDebuggerPieceByPiece) {
    win32compat::SetDebuggerPresent(true);
    SetEnvironmentVariableA("Path", "A");
    xlAutoOpen();
    xlAutoClose();
    EXPECT_EQ(win32compat::DebugStrings(),
              (Strings{"..\\..\\src\\XlOpenClose(56): ", "std::cerr redirected to MSVC debugger",
                       "\n", "..\\..\\src\\XlOpenClose(101): ", " PATH set successfully ", "\n",
                       "..\\..\\src\\XlOpenClose(125): ", "Releasing ressources", "\n"}));
}

TEST_F(XlOpenCloseNativeTest, UnknownModuleIsWarnedAboutAndOpeningGoesOn) {
    win32compat::SetDebuggerPresent(true);
    win32compat::SetVirtualQueryFails(true);
    SetEnvironmentVariableA("Path", "A");
    EXPECT_EQ(xlAutoOpen(), 1);
    EXPECT_EQ(ReadPath(), "A");
    const Strings& lines = win32compat::DebugStrings();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[3] + lines[4], "..\\..\\src\\XlOpenClose(83):  Could not attain path of DLL");
    EXPECT_EQ(lines[6] + lines[7], "..\\..\\src\\XlOpenClose(106):  Warning: Unable to initialise "
                                   "PATH to directory of library ");
    EXPECT_EQ(Excel().StatusLog()[0].text, "Registering library...");
    xlAutoClose();
}

TEST(Win32StreamBufDebugger, EachFlushIsOneDebugString) {
    win32compat::ClearDebugStrings();
    win32compat::SetDebuggerPresent(true);
    Win32StreamBuf buffer;
    std::ostream stream(&buffer);
    stream << std::unitbuf << "abc" << std::endl;
    stream << std::flush;
    win32compat::SetDebuggerPresent(false);
    EXPECT_EQ(win32compat::DebugStrings(), (Strings{"abc", "\n"}));
    win32compat::ClearDebugStrings();
}
#endif

class XlOpenCloseStartTest : public ExcelStandInTest {};

TEST_F(XlOpenCloseStartTest, OpeningWithoutExcelsCallbacksFails) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            xlstandin::ExcelStandIn::Instance().SetXlCallReachable(false);
            std::exit(xlAutoOpen() == 0 && xlAutoClose() == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
