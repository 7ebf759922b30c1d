// Calls of functions registered with every type code: texts of both widths, integers with
// Excel's ranges, pointers, FP tables, in-place results, long argument lists, and results handed
// back to the add-in through xlAutoFree12 and xlAutoFree.
#include "ExcelStandInTest.h"
#include "RecordKit.h"
#include "TypeCodeSamples.h"

#include <string>
#include <vector>

namespace {

using xlstandin::CallResult;
using xlstandin::HostValue;

class TypeCodeTest : public ExcelStandInTest {
protected:
    void SetUp() override {
        ExcelStandInTest::SetUp();
        const std::string module = TestModule(codesamples::Addresses());
        for (const auto& sample : codesamples::Exports()) {
            RecordKit<XLOPER12> kit;
            XLOPER12 id{};
            ASSERT_EQ(xlretSuccess,
                      CallMdCallBack12(xlfRegister, &id,
                                       {kit.Str(module), kit.Str(sample.first),
                                        kit.Str(sample.second.typeText), kit.Str(sample.first)}));
            ASSERT_EQ(xltypeNum, id.xltype) << sample.first;
        }
        codesamples::autoFree12Calls = 0;
        codesamples::autoFreeCalls = 0;
    }

    static CallResult Call(const std::string& name, const std::vector<HostValue>& arguments) {
        return Excel().Call(name, arguments);
    }
    static HostValue N(double number) { return HostValue::Number(number); }
    static HostValue T(const std::string& text) { return HostValue::Text(text); }
    static HostValue Row(std::vector<HostValue> numbers) {
        const int columns = static_cast<int>(numbers.size());
        return HostValue::Array(1, columns, std::move(numbers));
    }
};

TEST_F(TypeCodeTest, TextsOfBothWidthsEndedOrCounted) {
    const CallResult texts = Call("SampleTexts", {T("ab"), N(2.5), T("wide"), T("four")});
    EXPECT_EQ(T("ab|2.5|wide|4"), texts.value);
    EXPECT_FALSE(texts.wideText);
    EXPECT_EQ(T("|||0"), Call("SampleTexts", {}).value) << "omitted texts are empty";
    EXPECT_EQ(T("TRUE|x|y|1"),
              Call("SampleTexts", {HostValue::Boolean(true), T("x"), T("y"), T("z")}).value);

    const CallResult wide = Call("SampleWideEcho", {HostValue::Text(u"\u20AC uro")});
    EXPECT_EQ(HostValue::Text(u"\u20AC uro"), wide.value);
    EXPECT_TRUE(wide.wideText);
}

TEST_F(TypeCodeTest, TextsLongerThanTheCodeHoldsAreValueErrors) {
    const CallResult tooLong = Call("SampleTexts", {T(std::string(256, 'x'))});
    EXPECT_EQ(HostValue::Error(xlerrValue), tooLong.value);
    EXPECT_FALSE(tooLong.called);
    EXPECT_TRUE(tooLong.failure.empty()) << "Excel itself refuses it";
    // A C result is read up to its NUL, at most 255 bytes.
    EXPECT_TRUE(T(std::string(255, 'x')) == Call("SampleTexts", {T(std::string(255, 'x'))}).value);
    EXPECT_EQ(32767u, Call("SampleWideEcho", {T(std::string(32767, 'y'))}).value.AsText().size());
}

TEST_F(TypeCodeTest, IntegersWithinTheirCodesRange) {
    // h - i + j: H arrives without sign, I with it.
    EXPECT_EQ(N(65535 + 32768 + 7), Call("SampleIntegers", {N(65535), N(-32768), N(7)}).value);
    EXPECT_EQ(N(-2147483648.0), Call("SampleIntegers", {N(0), N(0), N(-2147483648.0)}).value);
    for (const std::vector<HostValue>& outside : {std::vector<HostValue>{N(65536)},
                                                  {N(-1)},
                                                  {N(0), N(32768)},
                                                  {N(0), N(-32769)},
                                                  {N(0), N(0), N(2147483648.0)}}) {
        const CallResult result = Call("SampleIntegers", outside);
        EXPECT_EQ(HostValue::Error(xlerrNum), result.value);
        EXPECT_FALSE(result.called);
    }
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleIntegers", {T("x")}).value);
    EXPECT_EQ(N(-12), Call("SampleNegate", {N(12.9)}).value) << "truncated toward zero";
    EXPECT_EQ(N(32767), Call("SampleNegate", {N(-32767)}).value);
}

TEST_F(TypeCodeTest, PointersToNumbersIntegersAndBooleans) {
    EXPECT_EQ(N(2500 + 300 + 40 + 1),
              Call("SamplePointers", {N(2.5), N(3), N(4), HostValue::Boolean(true)}).value);
    EXPECT_EQ(N(0), Call("SamplePointers", {}).value) << "omitted: zeros and FALSE";
    EXPECT_EQ(HostValue::Error(xlerrNum), Call("SamplePointers", {N(0), N(40000)}).value);
}

TEST_F(TypeCodeTest, TablesArriveAsFpRecordsRowByRow) {
    const HostValue table = HostValue::Array(2, 3, {N(1), N(2), N(3), N(4), N(5), N(6)});
    EXPECT_EQ(N(2300 + 1 + 4 + 9 + 16 + 25 + 36), Call("SampleTable", {table}).value);
    EXPECT_EQ(N(1100 + 7), Call("SampleTable", {N(7)}).value);
    EXPECT_EQ(HostValue::Error(xlerrValue),
              Call("SampleTable", {HostValue::Array(1, 2, {N(1), T("2")})}).value);
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleTable", {}).value);

    const CallResult transposed = Call("SampleTranspose", {table});
    EXPECT_EQ(HostValue::Array(3, 2, {N(1), N(4), N(2), N(5), N(3), N(6)}), transposed.value);
    EXPECT_TRUE(Call("SampleTranspose", {HostValue::Array(1, 61, std::vector<HostValue>(61, N(0)))})
                    .nullPointer);
}

TEST_F(TypeCodeTest, InPlaceResultsAreReadFromTheirArgument) {
    EXPECT_EQ(T("ABC!"), Call("SampleUpper", {T("abc")}).value);
    EXPECT_EQ(T("2.5!"), Call("SampleUpperF", {N(2.5)}).value) << "F: the F argument's buffer";
    // F buffers hold 256 bytes whatever the text's length.
    EXPECT_EQ(T(std::string(254, 'X') + "!"),
              Call("SampleUpper", {T(std::string(254, 'x'))}).value);
    EXPECT_EQ(
        Row({N(2), N(4)}),
        Call("SampleDoubleFirstRow", {HostValue::Array(2, 2, {N(1), N(2), N(3), N(4)})}).value);
}

// 255 records fill every register and the stack; weighted by place, any misplaced one shows.
TEST_F(TypeCodeTest, LongArgumentListsArriveInOrder) {
    std::vector<HostValue> values;
    double expected = 0;
    for (int i = 1; i <= 255; ++i) {
        values.push_back(N(i));
        expected += static_cast<double>(i) * i;
    }
    EXPECT_EQ(N(expected), Call("SampleSum255", values).value);
    values.resize(30);
    EXPECT_EQ(N(9455), Call("SampleSum30", values).value);
    std::vector<HostValue> pairs;
    double mixed = 0;
    for (int k = 1; k <= 10; ++k) {
        pairs.push_back(N(k));
        pairs.push_back(N(-k));
        mixed += k * (k * 100.0 - k);
    }
    EXPECT_EQ(N(mixed), Call("SampleMixed", pairs).value);
}

TEST_F(TypeCodeTest, MoreArgumentsThanRegisteredCannotBeCalled) {
    const CallResult result = Call("SampleNegate", {N(1), N(2)});
    EXPECT_EQ(HostValue::Error(xlerrValue), result.value);
    EXPECT_FALSE(result.called);
    EXPECT_EQ("SampleNegate takes 1 arguments, 2 given", result.failure);
}

TEST_F(TypeCodeTest, ResultsMarkedDllFreeGoBackToTheAddInOnce) {
    CallResult wide = Call("SampleOwnText12", {T("kept")});
    EXPECT_EQ(T("kept"), wide.value);
    EXPECT_EQ(1, codesamples::liveResults);
    EXPECT_EQ(0, codesamples::autoFree12Calls) << "only once the result is used";
    Excel().Release(wide);
    Excel().Release(wide);
    EXPECT_EQ(1, codesamples::autoFree12Calls);
    EXPECT_EQ(0, codesamples::autoFreeCalls);

    CallResult narrow = Call("SampleOwnText4", {T("four")});
    EXPECT_EQ(T("four"), narrow.value);
    Excel().Release(narrow);
    EXPECT_EQ(1, codesamples::autoFreeCalls);
    EXPECT_EQ(0, codesamples::liveResults);
    EXPECT_EQ(2, Excel().AutoFreeCalls());

    CallResult none = Call("SampleOwnText4", {N(1)});
    EXPECT_TRUE(none.nullPointer);
    Excel().Release(none);
    EXPECT_EQ(2, Excel().AutoFreeCalls());
}

} // namespace
