// Excel's rule for thread-safe functions on calculation threads, and the stand-in's own state
// under calls from several threads at once.
#include "ExcelStandInTest.h"
#include "RecordKit.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using xlstandin::ExcelStandIn;
using xlstandin::HostValue;
using xlstandin::xlfCaller;
using xlstandin::xlfSetName;

constexpr double NoArgument = -1;

// Calls back for function xlfn, with a boolean argument unless keep is NoArgument, and answers
// the code Excel gave.
double CallBack(double xlfn, double keep) {
    XLOPER result{};
    XLOPER argument{};
    argument.xltype = xltypeBool;
    argument.val.xbool = keep != 0;
    std::vector<XLOPER*> args;
    if (keep != NoArgument) {
        args.push_back(&argument);
    }
    const int code = CallExcel4v(static_cast<int>(xlfn), &result, args);
    if (code == xlretSuccess) {
        CallExcel4v(xlFree, nullptr, {&result});
    }
    return code;
}

} // namespace

XLSTANDIN_TEST_EXPORT double __stdcall CallBackSafe(double xlfn, double keep) {
    return CallBack(xlfn, keep);
}

XLSTANDIN_TEST_EXPORT double __stdcall CallBackUnsafe(double xlfn, double keep) {
    return CallBack(xlfn, keep);
}

namespace {

class ThreadSafeCallbackTest : public ExcelStandInTest {
protected:
    void SetUp() override {
        ExcelStandInTest::SetUp();
        const std::string module = TestModule(
            {{"CallBackSafe", Proc(&CallBackSafe)}, {"CallBackUnsafe", Proc(&CallBackUnsafe)}});
        Register(module, "CallBackSafe", "BBB$");
        Register(module, "CallBackUnsafe", "BBB");
    }

    static void Register(const std::string& module, const char* procedure, const char* types) {
        RecordKit<XLOPER> kit;
        XLOPER id{};
        ASSERT_EQ(xlretSuccess, CallExcel4v(xlfRegister, &id,
                                            {kit.Str(module), kit.Str(procedure), kit.Str(types),
                                             kit.Str(procedure)}));
        ASSERT_EQ(xltypeNum, id.xltype) << procedure;
    }

    // The code the callback gave inside the function, called on a calculation thread or not.
    static double CodeOf(const char* function, int xlfn, double keep, bool calculationThread) {
        double code = -2;
        std::thread caller([&] {
            if (calculationThread) {
                const ExcelStandIn::CalculationThread calculation;
                code = Excel().Call(function, {N(xlfn), N(keep)}).value.AsNumber();
            } else {
                code = Excel().Call(function, {N(xlfn), N(keep)}).value.AsNumber();
            }
        });
        caller.join();
        return code;
    }

    static HostValue N(double number) { return HostValue::Number(number); }

private:
    XlCallHold xlCall_;
};

TEST_F(ThreadSafeCallbackTest, RefusedCallbacksAnswerNotThreadSafe) {
    for (const int xlfn : {xlGetName, xlfGetWorkspace, xlcMessage, xlfRegister, xlfSetName}) {
        EXPECT_EQ(CodeOf("CallBackSafe", xlfn, 1, true), xlretNotThreadSafe) << xlfn;
    }
    // xlAbort may look at the break but not clear it.
    EXPECT_EQ(CodeOf("CallBackSafe", xlAbort, 0, true), xlretNotThreadSafe);
    EXPECT_EQ(CodeOf("CallBackSafe", xlAbort, NoArgument, true), xlretNotThreadSafe);
    EXPECT_EQ(CodeOf("CallBackSafe", xlAbort, 1, true), xlretSuccess);
}

TEST_F(ThreadSafeCallbackTest, AllowedCallbacksAnswerOnCalculationThreads) {
    for (const int xlfn : {xlGetHwnd, xlStack, xlfCaller}) {
        EXPECT_EQ(CodeOf("CallBackSafe", xlfn, NoArgument, true), xlretSuccess) << xlfn;
    }
    // 64-bit Excel answers xlGetInst with a failure, but not for want of thread safety.
    EXPECT_NE(CodeOf("CallBackSafe", xlGetInst, NoArgument, true), xlretNotThreadSafe);
}

// Not thread-safe functions run on the main thread, and a thread-safe one may run there too:
// Excel's rule holds only for a thread-safe function on a calculation thread.
TEST_F(ThreadSafeCallbackTest, RuleHoldsOnlyForThreadSafeFunctionsOnCalculationThreads) {
    EXPECT_EQ(CodeOf("CallBackUnsafe", xlGetName, NoArgument, true), xlretSuccess);
    EXPECT_EQ(CodeOf("CallBackSafe", xlGetName, NoArgument, false), xlretSuccess);
    EXPECT_FALSE(ExcelStandIn::OnCalculationThread());
}

// Calls, callbacks and the memory the stand-in hands out, from several threads at once: every
// call is logged once and every text given back.
TEST_F(ThreadSafeCallbackTest, StateStaysWholeUnderConcurrentCalls) {
    constexpr int threadCount = 4;
    constexpr int callsPerThread = 300;
    const std::size_t before = Excel().CallsRecorded();
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int thread = 0; thread < threadCount; ++thread) {
        threads.emplace_back([&wrong] {
            const ExcelStandIn::CalculationThread calculation;
            for (int call = 0; call < callsPerThread; ++call) {
                // xlfCaller hands out memory, which CallBack gives back.
                if (!(Excel().Call("CallBackSafe", {N(xlfCaller), N(NoArgument)}).value ==
                      N(xlretSuccess))) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(Excel().CallsRecorded() - before,
              static_cast<std::size_t>(2 * threadCount * callsPerThread));
    EXPECT_EQ(Excel().OutstandingAllocations(), 0u);
}

} // namespace
