// The gateway against the Excel stand-in: start-up and version detection, calls and the
// Excel-owned mark, the Excel 12 entry points, and the services the add-in asks of Excel.
#include "ArrayNewProbe.h"
#include "GatewayTest.h"
#include "XlfOperImpl.h"
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using vornix::XlfExcel;
using vornix::XlfOper;

namespace {

template <typename Mode> class VersionTest : public GatewayTest<Mode> {};
using AllVersions = ::testing::Types<Excel12Mode, Excel4Mode, Excel14Mode>;
TYPED_TEST_SUITE(VersionTest, AllVersions);

TYPED_TEST(VersionTest, OnlyVersion12RunsExcel12Records) {
    const bool excel12 = TypeParam::Version == 12;
    EXPECT_EQ(this->Gateway().IsExcel12Mode(), excel12);
    EXPECT_EQ(this->Gateway().OperTypeCode(), excel12 ? "Q" : "P");
    EXPECT_EQ(this->Gateway().RefTypeCode(), excel12 ? "U" : "R");
    EXPECT_EQ(this->Gateway().WideStringTypeCode(), excel12 ? "C%" : "C");
    this->Gateway().StatusBarMessage("hello");
    ASSERT_FALSE(this->Excel().Calls().empty());
    const xlstandin::CallbackCall& last = this->Excel().Calls().back();
    EXPECT_EQ(last.function, xlcMessage);
    EXPECT_EQ(last.excel12, excel12);
    EXPECT_EQ(this->Excel().StatusBarText(), "hello");
}

// Results are noted as Excel's beside the record: the type word stays the one Excel wrote.
TYPED_TEST(VersionTest, ResultsHoldingExcelMemoryAreNoted) {
    this->Excel().SetAddInName("C:\\x\\lib.xll");
    XlfOper text, integer, number;
    this->Gateway().Call(xlGetName, text.AsValuePointer(), 0);
    EXPECT_EQ(text.GetType(), xltypeStr);
    EXPECT_TRUE(text.IsExcelOwned());

    const XlfOper source(12.0), wantInt{short{xltypeInt}}, wantNum{short{xltypeNum}};
    this->Gateway().Call(xlCoerce, integer.AsValuePointer(), 2, source.AsValuePointer(),
                         wantInt.AsValuePointer());
    EXPECT_EQ(integer.GetType(), xltypeInt);
    EXPECT_TRUE(integer.IsExcelOwned());
    this->Gateway().Call(xlCoerce, number.AsValuePointer(), 2, source.AsValuePointer(),
                         wantNum.AsValuePointer());
    EXPECT_EQ(number.GetType(), xltypeNum);
    EXPECT_FALSE(number.IsExcelOwned());
    EXPECT_EQ(static_cast<typename TestFixture::Record*>(number.AsValuePointer())->val.num, 12.0);
}

// Without a version text, or without Excel reading it as a number, the gateway cannot know it
// runs under Excel 12 and takes the records every version reads.
TYPED_TEST(VersionTest, VersionThatCannotBeHadMeansExcel4Records) {
    for (const int failing : {xlfGetWorkspace, xlCoerce}) {
        delete XlfExcel::Existing();
        this->Excel().FailNext(failing, xlretFailed);
        EXPECT_FALSE(XlfExcel::Instance().IsExcel12Mode()) << failing;
        EXPECT_EQ(XlfExcel::Instance().OperTypeCode(), "P");
        EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u) << "version text not given back";
    }
}

TYPED_TEST(VersionTest, HeapExhaustionInTemporaryMemoryThrowsAndKeepsWhatWasGiven) {
    char* kept = this->Gateway().GetMemory(16);
    const std::vector<std::uint32_t> before = this->Gateway().Memory().BufferSizes();
    {
        vornix_test::ArrayNewProbe probe;
        probe.FailAfter(0);
        EXPECT_THROW(this->Gateway().GetMemory(100000), std::bad_alloc);
    }
    EXPECT_EQ(this->Gateway().Memory().BufferSizes(), before);
    EXPECT_EQ(this->Gateway().GetMemory(16), kept + 16);
    // A value whose record cannot be had holds none: conversions say so, nothing crashes.
    const vornix::XlfTemporaryMemory& memory = this->Gateway().Memory();
    this->Gateway().GetMemory(memory.BufferSizes().front() - memory.Offset() - 8);
    vornix_test::ArrayNewProbe probe;
    probe.FailAfter(0);
    const XlfOper text("abc");
    EXPECT_EQ(text.GetType(), 0u);
    int code = 0;
    EXPECT_EQ(text.AsString(&code), nullptr);
    EXPECT_EQ(code, xlretInvXloper);
}

TYPED_TEST(VersionTest, TemporaryMemoryResetsKeepingTheNewestBuffer) {
    this->Gateway().GetMemory(9000);
    this->Gateway().FreeMemory(false);
    EXPECT_EQ(this->Gateway().Memory().BufferSizes(), std::vector<std::uint32_t>{12288});
    this->Gateway().FreeMemory(true);
    EXPECT_TRUE(this->Gateway().Memory().BufferSizes().empty());
}

class GatewayServicesTest : public GatewayTest<Excel12Mode> {};

TEST_F(GatewayServicesTest, NameOfTheAddIn) {
    Excel().SetAddInName("C:\\x\\y\\lib.xll");
    EXPECT_EQ(Gateway().GetName(), "C:\\x\\y\\lib.xll");
    Excel().FailNext(xlGetName, xlretFailed);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Gateway().GetName(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlfExcel(181): Could not get DLL name\n");
}

TEST_F(GatewayServicesTest, StatusBarShowsAndClears) {
    Gateway().StatusBarMessage("Registering library...");
    EXPECT_EQ(Excel().StatusBarText(), "Registering library...");
    Gateway().StatusBarMessage(nullptr);
    EXPECT_EQ(Excel().StatusBarText(), "");
    ASSERT_EQ(Excel().StatusLog().size(), 2u);
    EXPECT_TRUE(Excel().StatusLog()[0].shown);
    EXPECT_FALSE(Excel().StatusLog()[1].shown);
}

TEST_F(GatewayServicesTest, EscapeKey) {
    EXPECT_FALSE(Gateway().IsEscPressed());
    Excel().SetEscapePressed(true);
    EXPECT_TRUE(Gateway().IsEscPressed());
}

TEST_F(GatewayServicesTest, TooManyArgumentsAreRefusedBeforeExcel) {
    const std::size_t before = Excel().Calls().size();
    EXPECT_EQ(Gateway().Call(xlFree, nullptr, 256), xlretInvCount);
    EXPECT_EQ(Gateway().Call(xlFree, nullptr, -1), xlretInvCount);
    EXPECT_EQ(Excel().Calls().size(), before);
}

// The most records Excel takes reach it through both call forms, in either mode.
TYPED_TEST(VersionTest, TwoHundredFiftyFiveRecordsReachExcel) {
    std::vector<vornix::XlfOper> values(255, vornix::XlfOper(true));
    std::vector<LPXLFOPER> records;
    for (const vornix::XlfOper& value : values)
        records.push_back(value.AsValuePointer());
    this->Excel().FailEvery(xlcMessage, xlretFailed);
    EXPECT_EQ(this->Gateway().Callv(xlcMessage, nullptr, 255, records.data()), xlretFailed);
    EXPECT_EQ(this->Excel().Calls().back().count, 255);
    EXPECT_EQ(this->Excel().Calls().back().excel12, this->IsExcel12);
    EXPECT_EQ(this->Gateway().Call(xlcMessage, nullptr, 3, records[0], records[1], records[2]),
              xlretFailed);
    EXPECT_EQ(this->Excel().Calls().back().count, 3);
}

template <std::size_t... I>
int Excel12WithOneRecordPerIndex(LPXLOPER12 record, std::index_sequence<I...>) {
    return Excel12(xlFree, nullptr, static_cast<int>(sizeof...(I)), ((void)I, record)...);
}

TEST_F(GatewayServicesTest, Excel12EntryTakesItsMostArguments) {
    XLOPER12 number{};
    number.xltype = xltypeNum;
    number.val.num = 1;
    EXPECT_EQ(Excel12WithOneRecordPerIndex(&number, std::make_index_sequence<255>()), xlretSuccess);
    ASSERT_FALSE(Excel().Calls().empty());
    EXPECT_EQ(Excel().Calls().back().count, 255);
    EXPECT_TRUE(Excel().Calls().back().excel12);
}

TEST_F(GatewayServicesTest, Excel12EntryChecksItsCount) {
    const std::size_t before = Excel().Calls().size();
    EXPECT_EQ(Excel12(xlFree, nullptr, 256), xlretInvCount);
    EXPECT_EQ(Excel().Calls().size(), before);
    XLOPER12 version{};
    version.xltype = xltypeNil;
    Excel12(xlfGetWorkspace, &version, 0);
    ASSERT_EQ(Excel().Calls().size(), before + 1);
    EXPECT_EQ(Excel().Calls().back().count, 0);
    EXPECT_TRUE(Excel().Calls().back().excel12);
}

// --- The function wizard --------------------------------------------------------------------

template <typename Mode> class WizardTest : public GatewayTest<Mode> {};
TYPED_TEST_SUITE(WizardTest, BothModes);

TYPED_TEST(WizardTest, OnlyAWizardWindowOwnedByExcelCounts) {
    EXPECT_FALSE(this->Gateway().IsCalledByFunctionWizard());
    for (const char* className : {"bosa_sdm_XL9", "BOSA_SDM_XL", "bosa_sdm_xl12"}) {
        this->Excel().OpenFunctionWizard(className);
        EXPECT_TRUE(this->Gateway().IsCalledByFunctionWizard()) << className;
        this->Excel().CloseFunctionWizard();
    }
    this->Excel().OpenFunctionWizard("bosa_sdm");
    EXPECT_FALSE(this->Gateway().IsCalledByFunctionWizard());
    this->Excel().CloseFunctionWizard();
}

// Excel's Replace dialog has the wizard's class and enters formulas while it is open; its title
// tells it apart, whatever its case.
TYPED_TEST(WizardTest, TheReplaceDialogIsNoWizard) {
    this->Excel().OpenReplaceDialog();
    EXPECT_FALSE(this->Gateway().IsCalledByFunctionWizard());
    this->Excel().OpenFunctionWizard();
    EXPECT_TRUE(this->Gateway().IsCalledByFunctionWizard());
    this->Excel().CloseFunctionWizard();
    this->Excel().CloseReplaceDialog();
#ifndef _WIN32
    HWND findAndReplace = win32compat::CreateTableWindow("bosa_sdm_XL9", this->Excel().MainWindow(),
                                                         0, "Find and REPLACE");
    EXPECT_FALSE(this->Gateway().IsCalledByFunctionWizard());
    win32compat::DestroyTableWindow(findAndReplace);
    HWND titled = win32compat::CreateTableWindow("bosa_sdm_XL9", this->Excel().MainWindow(), 0,
                                                 "Function Arguments");
    EXPECT_TRUE(this->Gateway().IsCalledByFunctionWizard());
    win32compat::DestroyTableWindow(titled);
#endif
}

TYPED_TEST(WizardTest, RefusedWindowHandleMeansNoWizard) {
    this->Excel().OpenFunctionWizard();
    this->Excel().FailNext(xlGetHwnd, xlretFailed);
    EXPECT_FALSE(this->Gateway().IsCalledByFunctionWizard());
    EXPECT_TRUE(this->Gateway().IsCalledByFunctionWizard());
    this->Excel().CloseFunctionWizard();
}

#ifndef _WIN32
TYPED_TEST(WizardTest, HighLowWordsOfTheMainWindowMatchToo) {
    this->Excel().SetMainWindowHandleValue(0x2F00A0);
    this->Excel().OpenFunctionWizard();
    EXPECT_TRUE(this->Gateway().IsCalledByFunctionWizard());
    this->Excel().CloseFunctionWizard();
    this->Excel().SetMainWindowHandleValue(0x3A000);
    this->Excel().OpenFunctionWizard();
    EXPECT_TRUE(this->Gateway().IsCalledByFunctionWizard());
    this->Excel().CloseFunctionWizard();
}

TEST_F(GatewayServicesTest, ErrorBoxKeepsItsTextWithinItsBuffer) {
    win32compat::ClearMessageBoxCalls();
    Gateway().ErrorBox("plain", "Caption");
    SetLastError(ERROR_FILE_NOT_FOUND);
    Gateway().ErrorBox(std::string(400, 'x').c_str());
    const auto& boxes = win32compat::MessageBoxCalls();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "plain");
    EXPECT_EQ(boxes[0].caption, "Caption");
    EXPECT_EQ(boxes[1].caption, "XLL Error");
    EXPECT_EQ(boxes[1].text, std::string(255, 'x'));
    SetLastError(ERROR_FILE_NOT_FOUND);
    Gateway().ErrorBox("Opening");
    EXPECT_EQ(win32compat::MessageBoxCalls()[2].text,
              "Opening due to error 2 :\nThe system cannot find the file specified.\r\n");
    win32compat::ClearMessageBoxCalls();
}
#endif

// --- Start-up in a process of its own --------------------------------------------------------
// The gateway keeps process-wide state (the implementation first chosen, the entry points and
// the MdCallBack12 address), so these run in a fresh process each.

class GatewayStartTest : public ExcelStandInTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ExcelStandInTest::SetUp();
    }
    void TearDown() override {
        delete XlfExcel::Existing();
        ExcelStandInTest::TearDown();
    }
};

// Runs check in a new process; the test passes when check returns true there.
template <typename Check> void InFreshProcess(Check check) {
    EXPECT_EXIT(std::exit(check() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST_F(GatewayStartTest, ReopeningKeepsTheImplementationChosenFirst) {
    InFreshProcess([] {
        auto& excel = xlstandin::ExcelStandIn::Instance();
        XlfExcel::Instance();
        const vornix::XlfOperImpl* first = vornix::XlfOperImpl::CurrentOrNull();
        delete XlfExcel::Existing();
        excel.Reset(12);
        excel.Install();
        const bool excel12 = XlfExcel::Instance().IsExcel12Mode();
        // The second start asked Excel for its version again.
        int versionQuestions = 0;
        for (const xlstandin::CallbackCall& call : excel.Calls())
            versionQuestions += call.function == xlfGetWorkspace ? 1 : 0;
        return excel12 && versionQuestions == 1 && vornix::XlfOperImpl::CurrentOrNull() == first &&
               dynamic_cast<const vornix::XlfOperImpl12*>(first) != nullptr;
    });
}

TEST_F(GatewayStartTest, WithoutXlCallEveryCallFails) {
    InFreshProcess([] {
        auto& excel = xlstandin::ExcelStandIn::Instance();
        if (!excel.SetXlCallReachable(false))
            return false;
        try {
            XlfExcel::Instance();
            return false;
        } catch (const std::runtime_error& error) {
            if (std::string(error.what()) != "Could not load library XLCALL32.DLL")
                return false;
        }
        XlfExcel& failed = XlfExcel::Instance();
        XLOPER result{};
        result.xltype = xltypeNil;
        return failed.Call4v(xlGetName, &result, 0, nullptr) == xlretFailed &&
               failed.Call12v(xlGetName, nullptr, 0, nullptr) == xlretFailed &&
               !failed.IsCalledByFunctionWizard() && excel.Calls().empty();
    });
}

#ifndef _WIN32
TEST_F(GatewayStartTest, WithoutMdCallBack12EveryExcel12CallFails) {
    InFreshProcess([] {
        auto& excel = xlstandin::ExcelStandIn::Instance();
        excel.SetMdCallBack12Reachable(false);
        XlfExcel& gateway = XlfExcel::Instance();
        XLOPER12 result{};
        result.xltype = xltypeNil;
        const bool failed = Excel12v(xlGetName, &result, 0, nullptr) == xlretFailed &&
                            Excel12(xlGetName, &result, 0) == xlretFailed &&
                            gateway.Call12v(xlGetName, &result, 0, nullptr) == xlretFailed;
        // Found at the next call once it is there.
        excel.SetMdCallBack12Reachable(true);
        const bool found = Excel12(xlGetName, &result, 0) == xlretSuccess;
        return failed && found;
    });
}
#endif

} // namespace
