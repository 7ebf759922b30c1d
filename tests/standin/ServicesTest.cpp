// The stand-in's small services through both entries: version, status bar, Escape key, add-in
// name, argument checks, fault injection, and the reach of its entry points.
#include "LayoutTest.h"

#include <map>
#include <string>
#include <vector>

namespace {

using xlstandin::StatusMessage;

template <typename Record> class ServicesTest : public LayoutTest<Record> {
protected:
    std::string WorkspaceText(Record* item) {
        Record* result = this->kit.Result();
        const int code = this->Call(xlfGetWorkspace, result, {item});
        if (code != xlretSuccess) {
            return "(code " + std::to_string(code) + ")";
        }
        const std::string text = TextOf(*result);
        this->Free(result);
        return text;
    }

    bool Abort(std::vector<Record*> args) {
        Record* result = this->kit.Result();
        EXPECT_EQ(xlretSuccess, this->Call(xlAbort, result, std::move(args)));
        EXPECT_EQ(xltypeBool, result->xltype);
        return result->val.xbool != 0;
    }
};
TYPED_TEST_SUITE(ServicesTest, RecordLayouts, LayoutNames);

TYPED_TEST(ServicesTest, WorkspaceItemTwoIsTheVersionText) {
    EXPECT_EQ("12.0", this->WorkspaceText(this->kit.Int(2)));
    this->Excel().SetVersionText("14.0");
    EXPECT_EQ("14.0", this->WorkspaceText(this->kit.Int(2)));
    EXPECT_EQ("(code 32)", this->WorkspaceText(this->kit.Int(1)));
    // Excel before 2007 has no Excel12 entry: the add-in's glue fails every call.
    this->Excel().Reset(11);
    EXPECT_EQ(TestFixture::IsExcel12 ? "(code 32)" : "11.0", this->WorkspaceText(this->kit.Num(2)));
}

TYPED_TEST(ServicesTest, StatusBarKeepsTheTextAndLogsEveryMessage) {
    auto* result = this->kit.Result();
    // Add-ins may count a closing NUL into their texts; the bar shows the text before it.
    ASSERT_EQ(xlretSuccess, this->Call(xlcMessage, result,
                                       {this->kit.Bool(true),
                                        this->kit.Str(std::string("Registering...\0", 15))}));
    EXPECT_EQ(xltypeBool, result->xltype);
    EXPECT_EQ("Registering...", this->Excel().StatusBarText());
    ASSERT_EQ(xlretSuccess, this->Call(xlcMessage, nullptr, {this->kit.Bool(false)}));
    EXPECT_EQ("", this->Excel().StatusBarText());
    ASSERT_EQ(xlretSuccess,
              this->Call(xlcMessage, nullptr, {this->kit.Bool(true), this->kit.Str("")}));
    const std::vector<StatusMessage> expected = {{true, "Registering..."}, {false, ""}, {true, ""}};
    EXPECT_EQ(expected, this->Excel().StatusLog());
    EXPECT_EQ(xlretFailed,
              this->Call(xlcMessage, nullptr, {this->kit.Bool(true), this->kit.Err(xlerrNA)}));
    EXPECT_EQ(3u, this->Excel().StatusLog().size());
}

TYPED_TEST(ServicesTest, StatusListenerHearsEachMessageAsItArrives) {
    std::vector<StatusMessage> heard;
    this->Excel().SetStatusListener([&heard](const StatusMessage& m) { heard.push_back(m); });
    this->Call(xlcMessage, nullptr, {this->kit.Bool(true), this->kit.Num(2.5)});
    this->Call(xlcMessage, nullptr, {this->kit.Bool(false)});
    const std::vector<StatusMessage> expected = {{true, "2.5"}, {false, ""}};
    EXPECT_EQ(expected, heard);
    this->Excel().Reset(12);
    this->Call(xlcMessage, nullptr, {this->kit.Bool(false)});
    EXPECT_EQ(2u, heard.size()) << "a reset forgets the listener";
}

TYPED_TEST(ServicesTest, EscapeIsClearedUnlessRetained) {
    EXPECT_FALSE(this->Abort({}));
    this->Excel().SetEscapePressed(true);
    EXPECT_TRUE(this->Abort({this->kit.Bool(true)}));
    EXPECT_TRUE(this->Excel().EscapePressed());
    EXPECT_TRUE(this->Abort({this->kit.Bool(false)}));
    EXPECT_FALSE(this->Abort({this->kit.Bool(false)}));
    this->Excel().SetEscapePressed(true);
    EXPECT_TRUE(this->Abort({}));
    EXPECT_FALSE(this->Excel().EscapePressed());
}

TYPED_TEST(ServicesTest, GetNameAnswersTheAddInsFileName) {
    this->Excel().SetAddInName("C:\\addins\\Tesmor.xll");
    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Call(xlGetName, result, {}));
    ASSERT_EQ(xltypeStr, result->xltype);
    EXPECT_EQ("C:\\addins\\Tesmor.xll", TextOf(*result));
    this->Free(result);
}

TYPED_TEST(ServicesTest, UnknownFunctionsAndWrongCountsAreRefused) {
    auto* n = this->kit.Num(1);
    EXPECT_EQ(xlretInvXlfn, this->Call(xlSet, this->kit.Result(), {}));
    EXPECT_EQ(xlretInvXlfn, this->Call(9999, this->kit.Result(), {n}));
    EXPECT_EQ(xlretInvXlfn, this->Call(9999, this->kit.Result(), {}));
    EXPECT_EQ((std::map<int, int>{{xlSet, 1}, {9999, 2}}), this->Excel().UnplayedCalls());
    EXPECT_EQ(xlretInvCount, this->Call(xlGetName, this->kit.Result(), {n}));
    EXPECT_EQ(xlretInvCount, this->Call(xlGetHwnd, this->kit.Result(), {n}));
    EXPECT_EQ(xlretInvCount, this->Call(xlCoerce, this->kit.Result(), {}));
    EXPECT_EQ(xlretInvCount, this->Call(xlCoerce, this->kit.Result(), {n, n, n}));
    EXPECT_EQ(xlretInvCount, this->Call(xlFree, nullptr, {}));
    EXPECT_EQ(xlretInvCount, this->Call(xlcMessage, nullptr, {}));
    EXPECT_EQ(xlretInvCount, this->Call(xlfRegister, this->kit.Result(), {n, n}));
    EXPECT_EQ(xlretInvCount, this->Call(xlfUnregister, this->kit.Result(), {}));
    EXPECT_EQ(xlretInvCount, this->Call(xlfGetWorkspace, this->kit.Result(), {n, n}));
    EXPECT_EQ(xlretInvCount, this->Call(xlAbort, this->kit.Result(), {n, n}));
    // An Excel 4 call takes at most 30 records, an Excel 12 call 255.
    EXPECT_EQ(this->IsExcel12 ? xlretSuccess : xlretInvCount,
              this->Call(xlFree, nullptr, std::vector<TypeParam*>(31, n)));
}

TYPED_TEST(ServicesTest, RecordsThatAreNoValuesAreRefused) {
    auto* text = this->kit.Str("2");
    text->xltype |= 0x8000;
    EXPECT_EQ(xlretInvXloper, this->Call(xlCoerce, this->kit.Result(), {text}));
    EXPECT_EQ(xlretInvXloper, this->Call(xlCoerce, this->kit.Result(), {nullptr}));
    auto* flow = this->kit.Num(0);
    flow->xltype = xltypeFlow;
    EXPECT_EQ(xlretInvXloper, this->Call(xlcMessage, nullptr, {flow}));
}

TYPED_TEST(ServicesTest, FaultsFailTheNextOrEveryCallWithoutDoingTheWork) {
    this->Excel().SetAddInName("addin.xll");
    this->Excel().FailNext(xlGetName, xlretFailed);
    auto* result = this->kit.Result();
    EXPECT_EQ(xlretFailed, this->Call(xlGetName, result, {}));
    EXPECT_EQ(xltypeMissing, result->xltype);
    ASSERT_EQ(xlretSuccess, this->Call(xlGetName, result, {}));
    this->Free(result);

    this->Excel().FailEvery(xlcMessage, xlretAbort);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(xlretAbort, this->Call(xlcMessage, nullptr, {this->kit.Bool(false)}));
    }
    EXPECT_TRUE(this->Excel().StatusLog().empty());
    this->Excel().ClearFaults();
    EXPECT_EQ(xlretSuccess, this->Call(xlcMessage, nullptr, {this->kit.Bool(false)}));

    // Any function number can be made to fail, even one the stand-in does not play.
    this->Excel().FailNext(xlStack, xlretStackOvfl);
    EXPECT_EQ(xlretStackOvfl, this->Call(xlStack, this->kit.Result(), {}));
}

TYPED_TEST(ServicesTest, EveryCallIsLoggedWithItsEntryAndCode) {
    this->Call(xlGetName, nullptr, {});
    this->Call(xlCoerce, nullptr, {});
    const auto& calls = this->Excel().Calls();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(xlGetName, calls[0].function);
    EXPECT_EQ(this->IsExcel12, calls[0].excel12);
    EXPECT_EQ(0, calls[0].count);
    EXPECT_EQ(xlretSuccess, calls[0].code);
    EXPECT_EQ(xlCoerce, calls[1].function);
    EXPECT_EQ(xlretInvCount, calls[1].code);
}

// A long run keeps the newest calls and the count of all, not every call ever made.
TYPED_TEST(ServicesTest, TheCallLogKeepsTheNewestCallsWithinItsLimit) {
    constexpr std::size_t limit = xlstandin::ExcelStandIn::CallLogLimit;
    const std::size_t total = 2 * limit + 3;
    // Through the Excel12 entry in both modes (the log keeps calls of every entry alike): the
    // Excel 4 helper loads and unloads XLCALL32.DLL for each call, and thousands of those end the
    // test process under Wine.
    for (std::size_t i = 0; i + 1 < total; ++i)
        CallMdCallBack12(xlGetName, nullptr, {});
    CallMdCallBack12(xlCoerce, nullptr, {});
    const auto& calls = this->Excel().Calls();
    EXPECT_LE(calls.size(), limit);
    EXPECT_GE(calls.size(), limit / 2);
    EXPECT_EQ(total, this->Excel().CallsRecorded());
    EXPECT_EQ(xlCoerce, calls.back().function);
    EXPECT_EQ(xlGetName, calls[calls.size() - 2].function);

    this->Excel().Reset();
    EXPECT_TRUE(this->Excel().Calls().empty());
    EXPECT_EQ(0u, this->Excel().CallsRecorded());
}

class EntryPointTest : public ExcelStandInTest {};

TEST_F(EntryPointTest, PlayedFunctionsAreKnownByTheirSdkNames) {
    EXPECT_EQ(xlCoerce, xlstandin::ExcelStandIn::FunctionNumber("xlCoerce"));
    EXPECT_EQ(xlcMessage, xlstandin::ExcelStandIn::FunctionNumber("xlcMessage"));
    EXPECT_EQ(xlfRegister, xlstandin::ExcelStandIn::FunctionNumber("xlfRegister"));
    EXPECT_EQ(-1, xlstandin::ExcelStandIn::FunctionNumber("xlcoerce"));
    EXPECT_EQ(xlStack, xlstandin::ExcelStandIn::FunctionNumber("xlStack"));
    EXPECT_EQ(-1, xlstandin::ExcelStandIn::FunctionNumber("xlSet"));
    EXPECT_EQ("xlfCaller", xlstandin::ExcelStandIn::FunctionName(89));
    EXPECT_EQ("function 16387", xlstandin::ExcelStandIn::FunctionName(xlSet));
}

// The library detects Excel's version through the variadic Excel4 in every mode.
TEST_F(EntryPointTest, Excel4AndXLCallVerOfXlcall32) {
    Excel().Reset(12);
    HMODULE module = LoadLibraryA("XLCALL32.DLL");
    ASSERT_NE(nullptr, module);
    const auto excel4 = ProcAs<EXCEL4PROC>(GetProcAddress(module, "Excel4"));
    const auto version = ProcAs<XLCALLVERPROC>(GetProcAddress(module, "XLCallVer"));
    ASSERT_NE(nullptr, excel4);
    ASSERT_NE(nullptr, version);
    EXPECT_EQ(0x0C00, version());

    RecordKit<XLOPER> kit;
    XLOPER text{};
    XLOPER number{};
    ASSERT_EQ(xlretSuccess, excel4(xlfGetWorkspace, &text, 1, kit.Int(2)));
    ASSERT_EQ(xlretSuccess, excel4(xlCoerce, &number, 2, &text, kit.Int(xltypeInt)));
    EXPECT_EQ(xltypeInt, number.xltype);
    EXPECT_EQ(12, number.val.w);
    EXPECT_EQ(xlretSuccess, excel4(xlFree, nullptr, 1, &text));
    EXPECT_EQ(xlretInvCount, excel4(xlFree, nullptr, -1));
    FreeLibrary(module);
}

TEST_F(EntryPointTest, Xlcall32CanBeKeptOutOfReach) {
    ASSERT_TRUE(Excel().SetXlCallReachable(false));
    EXPECT_EQ(nullptr, LoadLibraryA("XLCALL32.DLL"));
    ASSERT_TRUE(Excel().SetXlCallReachable(true));
    HMODULE module = LoadLibraryA("XLCALL32.DLL");
    EXPECT_NE(nullptr, module);
    FreeLibrary(module);
}

TEST_F(EntryPointTest, MdCallBack12IsAPlainExportOfTheProcess) {
    const auto find = [] { return GetProcAddress(GetModuleHandleA(nullptr), "MdCallBack12"); };
    ASSERT_NE(nullptr, find());
#ifdef _WIN32
    EXPECT_FALSE(Excel().SetMdCallBack12Reachable(false)) << "an executable keeps its exports";
    EXPECT_NE(nullptr, find());
#else
    EXPECT_TRUE(Excel().SetMdCallBack12Reachable(false));
    EXPECT_EQ(nullptr, find());
    Excel().Install();
    EXPECT_NE(nullptr, find());
#endif
}

} // namespace
