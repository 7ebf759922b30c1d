// Tesmor's functions while one Excel callback fails with one return code, for every callback the
// library uses and every code, in both Excel modes: every call ends in a result Excel can show,
// results that do not depend on the failing callback stay as they are without the failure, and
// the documented outcomes hold. (The Excel version is read before the failure starts; xlhost's
// fault matrix under Wine covers failures from the first call on.)
#include "GatewayTest.h"
#include "TesmorExports.h"
#include "XlOpenClose.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using xlstandin::HostValue;

namespace {

struct Callback {
    int number;
    const char* name;
};

const Callback kCallbacks[] = {{xlFree, "xlFree"},
                               {xlCoerce, "xlCoerce"},
                               {xlAbort, "xlAbort"},
                               {xlGetHwnd, "xlGetHwnd"},
                               {xlGetName, "xlGetName"},
                               {xlcMessage, "xlcMessage"},
                               {xlfRegister, "xlfRegister"},
                               {xlfUnregister, "xlfUnregister"},
                               {xlfGetWorkspace, "xlfGetWorkspace"}};
const int kCodes[] = {1, 2, 4, 8, 16, 32, 64, 128, 256};

struct Formula {
    std::string name;
    std::vector<HostValue> arguments;
};

// Every function, with number and text arguments.
const std::vector<Formula>& Formulas() {
    static const std::vector<Formula> formulas = {
        {"bin_Dec2Bin", {HostValue::Number(2.5), HostValue::Number(3)}},
        {"bin_Dec2Bin", {HostValue::Text("2.5"), HostValue::Number(3)}},
        {"bin_Bin2Dec", {HostValue::Number(101)}},
        {"bin_Bin2Dec", {HostValue::Text("101")}},
        {"bin_bitXOR", {HostValue::Number(5.25), HostValue::Text("3.5")}},
        {"bin_bitOR", {HostValue::Text("5.25"), HostValue::Number(3.5)}},
        {"bin_bitAnd", {HostValue::Number(5.25), HostValue::Number(3.5)}},
        {"bin_leftShift", {HostValue::Number(1.5), HostValue::Number(2)}},
        {"bin_RightShift", {HostValue::Text("5"), HostValue::Number(1)}}};
    return formulas;
}
constexpr std::size_t kDec2BinOfNumber = 0;
constexpr std::size_t kFirstShift = 7;

// A text the library made, without the NUL an Excel 4 text may count after its characters.
HostValue WithoutCountedNul(const HostValue& value) {
    if (!value.Is(HostValue::Kind::Text) || value.AsText().empty() || value.AsText().back() != 0)
        return value;
    std::u16string text = value.AsText();
    text.pop_back();
    return HostValue::Text(text);
}

template <typename Mode> class FaultMatrixTest : public GatewayTest<Mode> {
protected:
    // Opens the add-in on a fresh stand-in with the callback failing from then on, calls every
    // formula and closes the add-in. A code of 0 fails nothing.
    std::vector<xlstandin::CallResult> Run(int callback, int code) {
        delete vornix::XlfExcel::Existing();
        this->Excel().Reset(Mode::Version);
        this->Excel().Install();
        this->Excel().SetAddInName(this->TestModule(TesmorExports()));
        vornix::XlfExcel::Instance();
        if (code != 0)
            this->Excel().FailEvery(callback, code);
        xlAutoOpen();
        std::vector<xlstandin::CallResult> results;
        for (const Formula& formula : Formulas())
            results.push_back(this->Excel().Call(formula.name, formula.arguments));
        xlAutoClose();
        this->Excel().ClearFaults();
        if (callback == xlFree) {
            // Nothing could be given back; the stand-in forgets it for the next run.
            this->Excel().Reset(Mode::Version);
            this->Excel().Install();
        }
        return results;
    }
};

TYPED_TEST_SUITE(FaultMatrixTest, BothModes);

TYPED_TEST(FaultMatrixTest, EveryCallbackFailingWithEveryCode) {
    const std::vector<xlstandin::CallResult> sound = this->Run(xlFree, 0);
    for (const xlstandin::CallResult& result : sound)
        ASSERT_TRUE(result.called && !result.nullPointer);

    for (const Callback& callback : kCallbacks) {
        for (int code : kCodes) {
            SCOPED_TRACE(std::string(callback.name) + "=" + std::to_string(code));
            const std::vector<xlstandin::CallResult> results = this->Run(callback.number, code);
            for (std::size_t i = 0; i < results.size(); ++i) {
                SCOPED_TRACE(Formulas()[i].name + " #" + std::to_string(i));
                const xlstandin::CallResult& result = results[i];
                EXPECT_FALSE(result.value.Is(HostValue::Kind::Reference));
                switch (callback.number) {
                case xlfRegister:
                case xlGetName: // nothing is registered
                    EXPECT_FALSE(result.called);
                    EXPECT_EQ(result.value, HostValue::Error(xlerrName));
                    break;
                case xlFree: // results do not depend on giving memory back
                case xlfUnregister:
                case xlfGetWorkspace:
                    EXPECT_EQ(WithoutCountedNul(result.value), WithoutCountedNul(sound[i].value));
                    EXPECT_FALSE(result.nullPointer);
                    break;
                case xlCoerce:
                    if (i >= kFirstShift) { // numbers, which need no coercion
                        EXPECT_EQ(result.value, sound[i].value);
                    } else if (i == kDec2BinOfNumber && code == xlretFailed) {
                        EXPECT_EQ(
                            WithoutCountedNul(result.value),
                            HostValue::Text("command failed, dec conversion to char* failed"));
                    } else if (i == kDec2BinOfNumber &&
                               (code == xlretInvXloper || code == xlretUncalced)) {
                        EXPECT_TRUE(result.nullPointer);
                    }
                    break;
                default:
                    break;
                }
            }
        }
    }
}

} // namespace
