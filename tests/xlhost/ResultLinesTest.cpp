// A calculation's lines in formula order while asynchronous results come from other threads, in
// any order; results that do not come in time print #N/A, name their formula and are refused
// when they come after all.
#include "ResultLines.h"

#include "../standin/RecordKit.h"
#include "AsyncCalls.h"
#include "CallbackEntries.h"
#include "ExcelStandInTest.h"
#include "FormulaParser.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// The add-in's side: threads that answer once the test opens the gate.
std::mutex gateMutex;
std::condition_variable gateOpened;
bool gateOpen = false;
std::vector<std::thread> answering;
XLOPER12 keptHandle;

int AnswerWith(XLOPER12 handle, double value) {
    XLOPER12 number{};
    number.xltype = xltypeNum;
    number.val.num = value;
    LPXLOPER12 args[] = {&handle, &number};
    return xlstandin::MdCallBack12Entry(xlstandin::xlAsyncReturn, 2, args, nullptr);
}

} // namespace

// Answers ten times its number from a thread of its own once the gate is open.
XLSTANDIN_TEST_EXPORT void __stdcall XlhostLater(XLOPER12* value, XLOPER12* handle) {
    const XLOPER12 kept = *handle; // the record lives only as long as the call
    const double number = value->val.num;
    answering.emplace_back([kept, number] {
        std::unique_lock<std::mutex> lock(gateMutex);
        gateOpened.wait(lock, [] { return gateOpen; });
        lock.unlock();
        EXPECT_EQ(xlretSuccess, AnswerWith(kept, 10 * number));
    });
}

// Keeps its handle and never answers.
XLSTANDIN_TEST_EXPORT void __stdcall XlhostNever(XLOPER12*, XLOPER12* handle) {
    keptHandle = *handle;
}

XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall XlhostSame(XLOPER12* value) {
    return value;
}

namespace {

class ResultLinesTest : public ExcelStandInTest {
protected:
    ResultLinesTest() : ExcelStandInTest(14) {}

    void SetUp() override {
        ExcelStandInTest::SetUp();
        gateOpen = false;
        const std::string module = TestModule({{"XlhostLater", Proc(&XlhostLater)},
                                               {"XlhostNever", Proc(&XlhostNever)},
                                               {"XlhostSame", Proc(&XlhostSame)}});
        Register(module, "XlhostLater", ">QX", "Later");
        Register(module, "XlhostNever", ">QX", "Never");
        Register(module, "XlhostSame", "QQ", "Same");
    }

    void TearDown() override {
        OpenGate();
        for (std::thread& thread : answering) {
            thread.join();
        }
        answering.clear();
        ExcelStandInTest::TearDown();
    }

    static void Register(const std::string& module, const char* procedure, const char* type,
                         const char* name) {
        RecordKit<XLOPER12> kit;
        XLOPER12 id{};
        ASSERT_EQ(xlretSuccess,
                  CallEntry(xlfRegister, &id,
                            {kit.Str(module), kit.Str(procedure), kit.Str(type), kit.Str(name)}));
        ASSERT_EQ(xltypeNum, id.xltype) << procedure;
    }

    static void OpenGate() {
        {
            const std::lock_guard<std::mutex> lock(gateMutex);
            gateOpen = true;
        }
        gateOpened.notify_all();
    }

    // Evaluates each formula into the lines, as xlhost does.
    void Add(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            xlhost::Expression formula;
            std::string reason;
            ASSERT_TRUE(xlhost::FormulaParser::Parse(text, formula, reason)) << reason;
            xlhost::Evaluation evaluation = evaluator.Evaluate(formula);
            lines.Add(text, evaluation);
            evaluator.Release(evaluation);
        }
    }

    std::ostringstream out;
    std::vector<std::string> notices;
    // Bounded far beyond need unless a test shortens it: the answers come at once.
    xlhost::FormulaEvaluator evaluator{Excel(), std::chrono::minutes(1)};
    // Each line as xlhost prints it.
    const xlhost::ResultLines::Sink print = [this](const std::string& line) {
        out << line << '\n';
    };
    xlhost::ResultLines lines{evaluator, std::chrono::minutes(1), print,
                              [this](const std::string& notice) { notices.push_back(notice); }};
};

TEST_F(ResultLinesTest, LinesWaitForEarlierAsynchronousResultsAndComeInFormulaOrder) {
    Add({"Same(1)", "Later(2)", "Same(3)", "Later(4)", "Later(5)"});
    EXPECT_EQ("1\n", out.str()) << "the third line waits for the second";
    OpenGate();
    EXPECT_TRUE(lines.Finish());
    EXPECT_EQ("1\n20\n3\n40\n50\n", out.str());
    EXPECT_TRUE(notices.empty());
}

TEST_F(ResultLinesTest, AnAsynchronousArgumentIsWaitedForBeforeTheCallThatTakesIt) {
    OpenGate();
    Add({"Same(Later(Later(6)))"});
    EXPECT_EQ("600\n", out.str());
    EXPECT_TRUE(lines.Finish());
}

TEST_F(ResultLinesTest, ResultsThatDoNotComeInTimeAreNaAndRefusedWhenTheyComeLate) {
    xlhost::ResultLines quick(evaluator, std::chrono::milliseconds(0), print,
                              [this](const std::string& notice) { notices.push_back(notice); });
    xlhost::Expression formula;
    std::string reason;
    for (const char* text : {"Same(1)", "Never(2)", "Same(3)"}) {
        ASSERT_TRUE(xlhost::FormulaParser::Parse(text, formula, reason));
        xlhost::Evaluation evaluation = evaluator.Evaluate(formula);
        quick.Add(text, evaluation);
    }
    EXPECT_FALSE(quick.Finish()) << "the calculation counts as cancelled";
    EXPECT_EQ("1\n#N/A\n3\n", out.str());
    EXPECT_EQ(std::vector<std::string>{"no asynchronous result for \"Never(2)\" within 0 seconds"},
              notices);
    EXPECT_EQ(xlstandin::xlRetInvAsynchronousContext, AnswerWith(keptHandle, 1));
}

TEST_F(ResultLinesTest, AFormulaWhoseArgumentDoesNotComeInTimeIsNotCalled) {
    xlhost::FormulaEvaluator quick(Excel(), std::chrono::milliseconds(0));
    xlhost::Expression formula;
    std::string reason;
    ASSERT_TRUE(xlhost::FormulaParser::Parse("Same(Never(1))", formula, reason));
    xlhost::Evaluation evaluation = quick.Evaluate(formula);
    EXPECT_TRUE(evaluation.timedOut);
    EXPECT_FALSE(evaluation.result.called);
    EXPECT_EQ(xlstandin::HostValue::Error(xlerrNA), evaluation.result.value);
    lines.Add("Same(Never(1))", evaluation);
    EXPECT_EQ("#N/A\n", out.str());
    EXPECT_EQ(std::vector<std::string>{"no asynchronous result for \"Same(Never(1))\" within 60 "
                                       "seconds"},
              notices);
    EXPECT_FALSE(lines.Finish());
    EXPECT_EQ(xlstandin::xlRetInvAsynchronousContext, AnswerWith(keptHandle, 1));
}

} // namespace
