// Asynchronous functions: the handle each call gets, xlAsyncReturn through both entries and from
// other threads, and the answers Excel refuses (an unknown, answered, cancelled or closed
// handle answers xlRetInvAsynchronousContext).
#include "AsyncCalls.h"
#include "LayoutTest.h"

#include <chrono>
#include <thread>
#include <vector>

namespace {
XLOPER12 receivedHandle;
XLOPER12 receivedValue;
} // namespace

// An asynchronous function that keeps its handle and argument for the test to answer.
XLSTANDIN_TEST_EXPORT void __stdcall AsyncKeep(XLOPER12* value, XLOPER12* handle) {
    receivedValue = *value;
    receivedHandle = *handle;
}

namespace {

using xlstandin::AsyncCalls;
using xlstandin::HostValue;
using xlstandin::xlAsyncReturn;
using xlstandin::xlRetInvAsynchronousContext;

const auto past = std::chrono::steady_clock::time_point();

int Answer(AsyncCalls& calls, AsyncCalls::Handle handle, double value) {
    return calls.Return({handle}, {HostValue::Number(value)}, true);
}

TEST(AsyncCalls, EachHandleIsAnsweredOnceWithItsValue) {
    AsyncCalls calls;
    const AsyncCalls::Handle first = calls.Begin();
    const AsyncCalls::Handle second = calls.Begin();
    EXPECT_NE(first, second);
    HostValue value;
    bool wide = false;
    EXPECT_FALSE(calls.Answered(first, value, wide));
    EXPECT_EQ(xlretSuccess, calls.Return({first}, {HostValue::Text("a")}, true));
    EXPECT_EQ(xlRetInvAsynchronousContext, Answer(calls, first, 2));
    ASSERT_TRUE(calls.Answered(first, value, wide));
    EXPECT_EQ(HostValue::Text("a"), value);
    EXPECT_TRUE(wide);
    EXPECT_FALSE(calls.Wait({first, second}, past));
    EXPECT_EQ(xlretSuccess, calls.Return({second}, {HostValue::Boolean(true)}, false));
    EXPECT_TRUE(calls.Wait({first, second}, past));
}

TEST(AsyncCalls, UnknownCancelledAndClosedHandlesAreRefused) {
    AsyncCalls calls;
    const AsyncCalls::Handle cancelled = calls.Begin();
    const AsyncCalls::Handle open = calls.Begin();
    EXPECT_EQ(xlRetInvAsynchronousContext, Answer(calls, open + 1, 1));
    EXPECT_EQ(xlRetInvAsynchronousContext, Answer(calls, 0, 1));
    calls.Cancel(cancelled);
    EXPECT_EQ(xlRetInvAsynchronousContext, Answer(calls, cancelled, 1));
    EXPECT_TRUE(calls.Wait({cancelled}, past)) << "a cancelled call is waited for no longer";
    calls.Close();
    EXPECT_EQ(xlRetInvAsynchronousContext, Answer(calls, open, 1));
    HostValue value;
    bool wide = false;
    EXPECT_FALSE(calls.Answered(open, value, wide));
    calls.Clear();
    EXPECT_EQ(xlRetInvAsynchronousContext, Answer(calls, open, 1)) << "forgotten";
    EXPECT_GT(calls.Begin(), open) << "handles are never used twice";
}

TEST(AsyncCalls, SeveralHandlesAreAnsweredAllOrNone) {
    AsyncCalls calls;
    const AsyncCalls::Handle a = calls.Begin();
    const AsyncCalls::Handle b = calls.Begin();
    const std::vector<HostValue> two = {HostValue::Number(1), HostValue::Number(2)};
    EXPECT_EQ(xlRetInvAsynchronousContext, calls.Return({a, a}, two, true));
    EXPECT_EQ(xlRetInvAsynchronousContext, calls.Return({a, b + 7}, two, true));
    EXPECT_EQ(xlRetInvAsynchronousContext, calls.Return({a, b}, {two[0]}, true));
    EXPECT_FALSE(calls.Wait({a}, past)) << "nothing taken from a refused answer";
    EXPECT_EQ(xlretSuccess, calls.Return({b, a}, two, true));
    HostValue value;
    bool wide = false;
    ASSERT_TRUE(calls.Answered(a, value, wide));
    EXPECT_EQ(HostValue::Number(2), value);
}

TEST(AsyncCalls, AnswersFromOtherThreadsWakeTheWait) {
    AsyncCalls calls;
    std::vector<AsyncCalls::Handle> handles;
    for (int i = 0; i < 8; ++i) {
        handles.push_back(calls.Begin());
    }
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        threads.emplace_back([&calls, &handles, i] {
            EXPECT_EQ(xlretSuccess, Answer(calls, handles[i], static_cast<double>(i)));
        });
    }
    // Bounded far beyond need: the answers come at once.
    EXPECT_TRUE(calls.Wait(handles, std::chrono::steady_clock::now() + std::chrono::minutes(1)));
    for (std::thread& thread : threads) {
        thread.join();
    }
    HostValue value;
    bool wide = false;
    ASSERT_TRUE(calls.Answered(handles[5], value, wide));
    EXPECT_EQ(HostValue::Number(5), value);
}

// xlAsyncReturn through either entry of Excel 2010.
template <typename Record> class AsyncReturnTest : public LayoutTest<Record> {
protected:
    void SetUp() override {
        LayoutTest<Record>::SetUp();
        this->Excel().Reset(14);
    }

    Record* Handle(AsyncCalls::Handle handle) {
        Record* record = this->kit.Nil();
        record->xltype = xltypeBigData;
        record->val.bigdata.h.hdata = reinterpret_cast<HANDLE>(handle);
        record->val.bigdata.cbData = 0;
        return record;
    }
};
TYPED_TEST_SUITE(AsyncReturnTest, RecordLayouts, LayoutNames);

TYPED_TEST(AsyncReturnTest, AHandleAndItsValueAnswerTrue) {
    AsyncCalls& calls = this->Excel().Async();
    const AsyncCalls::Handle handle = calls.Begin();
    auto* result = this->kit.Result();
    EXPECT_EQ(xlretSuccess,
              this->Call(xlAsyncReturn, result, {this->Handle(handle), this->kit.Str("done")}));
    EXPECT_EQ(xltypeBool, result->xltype);
    EXPECT_EQ(1, result->val.xbool);
    HostValue value;
    bool wide = false;
    ASSERT_TRUE(calls.Answered(handle, value, wide));
    EXPECT_EQ(HostValue::Text("done"), value);
    EXPECT_EQ(this->IsExcel12, wide);
    EXPECT_EQ(xlRetInvAsynchronousContext,
              this->Call(xlAsyncReturn, result, {this->Handle(handle), this->kit.Num(1)}));
}

TYPED_TEST(AsyncReturnTest, ArraysOfHandlesAndValuesAnswerEachHandle) {
    AsyncCalls& calls = this->Excel().Async();
    const AsyncCalls::Handle a = calls.Begin();
    const AsyncCalls::Handle b = calls.Begin();
    auto* handles = this->kit.Multi(1, 2, {this->Handle(a), this->Handle(b)});
    auto* values = this->kit.Multi(2, 1, {this->kit.Num(1), this->kit.Err(xlerrDiv0)});
    EXPECT_EQ(xlretSuccess, this->Call(xlAsyncReturn, nullptr, {handles, values}));
    HostValue value;
    bool wide = false;
    ASSERT_TRUE(calls.Answered(b, value, wide));
    EXPECT_EQ(HostValue::Error(xlerrDiv0), value);
}

TYPED_TEST(AsyncReturnTest, WhatIsNoHandleOrNoPairIsRefused) {
    const AsyncCalls::Handle handle = this->Excel().Async().Begin();
    auto* one = this->kit.Num(1);
    EXPECT_EQ(xlretInvCount, this->Call(xlAsyncReturn, nullptr, {this->Handle(handle)}));
    EXPECT_EQ(xlretInvXloper, this->Call(xlAsyncReturn, nullptr, {one, one}));
    EXPECT_EQ(xlretInvXloper, this->Call(xlAsyncReturn, nullptr, {this->Handle(handle), nullptr}));
    auto* handles = this->kit.Multi(1, 2, {this->Handle(handle), one});
    EXPECT_EQ(xlretInvXloper,
              this->Call(xlAsyncReturn, nullptr, {handles, this->kit.Multi(1, 2, {one, one})}));
    EXPECT_EQ(xlretInvXloper, this->Call(xlAsyncReturn, nullptr,
                                         {this->kit.Multi(1, 1, {this->Handle(handle)}),
                                          this->kit.Multi(1, 2, {one, one})}));
    EXPECT_EQ(xlRetInvAsynchronousContext,
              this->Call(xlAsyncReturn, nullptr, {this->Handle(handle + 1), one}));
}

TYPED_TEST(AsyncReturnTest, Excel2007HasNoXlAsyncReturn) {
    this->Excel().Reset(12);
    const AsyncCalls::Handle handle = this->Excel().Async().Begin();
    EXPECT_EQ(xlretInvXlfn,
              this->Call(xlAsyncReturn, nullptr, {this->Handle(handle), this->kit.Num(1)}));
}

class AsyncFunctionTest : public ExcelStandInTest {
protected:
    AsyncFunctionTest() : ExcelStandInTest(14) {}
};

TEST_F(AsyncFunctionTest, TheCallGetsAHandleInsteadOfAnArgumentAndAnswersLater) {
    RecordKit<XLOPER12> kit;
    XLOPER12 id{};
    const std::string module = TestModule({{"AsyncKeep", Proc(&AsyncKeep)}});
    ASSERT_EQ(xlretSuccess,
              CallEntry(xlfRegister, &id,
                        {kit.Str(module), kit.Str("AsyncKeep"), kit.Str(">QX"), kit.Str("Later")}));
    ASSERT_EQ(xltypeNum, id.xltype);

    const xlstandin::CallResult result = Excel().Call("Later", {HostValue::Number(4)});
    EXPECT_TRUE(result.called);
    ASSERT_NE(0u, result.asyncHandle);
    EXPECT_EQ(xltypeNum, receivedValue.xltype);
    EXPECT_EQ(4, receivedValue.val.num);
    EXPECT_EQ(xltypeBigData, receivedHandle.xltype);
    EXPECT_EQ(result.asyncHandle,
              reinterpret_cast<AsyncCalls::Handle>(receivedHandle.val.bigdata.h.hdata));

    XLOPER12* handle = &receivedHandle;
    std::thread answer([&kit, handle] {
        EXPECT_EQ(xlretSuccess,
                  CallEntry(xlAsyncReturn, static_cast<XLOPER12*>(nullptr), {handle, kit.Num(8)}));
    });
    answer.join();
    HostValue value;
    bool wide = false;
    ASSERT_TRUE(Excel().Async().Answered(result.asyncHandle, value, wide));
    EXPECT_EQ(HostValue::Number(8), value);

    const xlstandin::CallResult tooMany =
        Excel().Call("Later", {HostValue::Number(1), HostValue::Number(2)});
    EXPECT_FALSE(tooMany.called);
    EXPECT_EQ("Later takes 1 arguments, 2 given", tooMany.failure);
    EXPECT_EQ(0u, tooMany.asyncHandle);
}

} // namespace
