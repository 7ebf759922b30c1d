// Tesmor's seven worksheet functions as Excel sees them: registered by xlAutoOpen and called
// through the Excel stand-in, in both Excel modes.
#include "WorksheetFunctions.h"
#include "GatewayTest.h"
#include "RegistrationRegistry.h"
#include "TesmorExports.h"
#include "XlOpenClose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using xlstandin::HostValue;
using Strings = std::vector<std::string>;

namespace {

HostValue Number(double value) {
    return HostValue::Number(value);
}
HostValue Text(const std::string& value) {
    return HostValue::Text(value);
}

template <typename Mode> class WorksheetFunctionsTest : public GatewayTest<Mode> {
protected:
    void SetUp() override {
        GatewayTest<Mode>::SetUp();
        this->Excel().SetAddInName(this->TestModule(TesmorExports()));
    }

    void Open() { ASSERT_EQ(xlAutoOpen(), 1); }
    void TearDown() override {
        xlAutoClose();
        GatewayTest<Mode>::TearDown();
    }

    HostValue Call(const std::string& name, const std::vector<HostValue>& arguments) {
        const xlstandin::CallResult result = this->Excel().Call(name, arguments);
        EXPECT_TRUE(result.called) << name;
        return result.value;
    }

    std::string Letter() const { return this->IsExcel12 ? "Q" : "P"; }
};

TYPED_TEST_SUITE(WorksheetFunctionsTest, BothModes);

TYPED_TEST(WorksheetFunctionsTest, SevenFunctionsAreRegisteredInDeclarationOrder) {
    this->Open();
    const auto& registrations = this->Excel().Registrations();
    ASSERT_EQ(registrations.size(), 7u);
    const std::string q = this->Letter();
    const Strings procedures = {"xlbin_Dec2Bin",   "xlbin_Bin2Dec", "xlbin_bitXOR",
                                "xlbin_bitOR",     "xlbin_bitAnd",  "xlbin_leftShift",
                                "xlbin_RightShift"};
    const Strings types = {q + q + "B", q + q, q + q + q, q + q + q, q + q + q, q + "BB", q + "BB"};
    const Strings arguments = {"dec, precision", "bin",        "xNum1, xNum2", "xNum1, xNum2",
                               "xNum1, xNum2",   "xNum, bits", "xNum, bits"};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(registrations[i].procedure, procedures[i]);
        EXPECT_EQ(registrations[i].functionText, procedures[i].substr(2));
        EXPECT_EQ(registrations[i].typeText, types[i]);
        EXPECT_EQ(registrations[i].argumentText, arguments[i]);
        EXPECT_EQ(registrations[i].category, "BinaryOperations");
        EXPECT_EQ(registrations[i].macroType, 1);
    }
    EXPECT_EQ(registrations[0].functionHelp, " Decimal to Binary conversion ");
    EXPECT_EQ(registrations[0].argumentHelps,
              (Strings{" Decimal number to be converted . ", " Precision . "}));
    EXPECT_EQ(registrations[2].functionHelp, " Performs bit by bit XoR ");
    EXPECT_EQ(registrations[5].argumentHelps,
              (Strings{" Input Number on which left shift needs to be performed . ",
                       " Number of bits . "}));
    std::vector<int> counts;
    for (const xlstandin::CallbackCall& call : this->Excel().Calls())
        if (call.function == xlfRegister)
            counts.push_back(call.count);
    EXPECT_EQ(counts, (std::vector<int>{12, 11, 12, 12, 12, 12, 12}));
}

TYPED_TEST(WorksheetFunctionsTest, TheRegistryHoldsTheSevenDeclarations) {
    const auto& records = vornix::RegistrationRegistry::Instance().Records();
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[1].exportName, "xlbin_Bin2Dec");
    EXPECT_EQ(records[1].argumentCount, 1);
    EXPECT_EQ(records[1].argumentNames, Strings{"bin"});
    EXPECT_EQ(records[6].argumentTypes, (Strings{"B", "B"}));
    EXPECT_TRUE(records[6].returnTypeCode.empty());
    EXPECT_FALSE(records[6].isVolatile);
    EXPECT_FALSE(records[6].threadSafe);
}

// The same texts in both modes: Excel 4 texts no longer count a NUL after "10.100".
TYPED_TEST(WorksheetFunctionsTest, DecimalToBinary) {
    this->Open();
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(2.5), Number(3)}), Text("10.100"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(5), Number(3)}), Text("101"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(-6.75), Number(4)}), Text("-110.1100"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(5.75), Number(0)}), Text("101"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(10.1), Number(8)}), Text("1010.00011001"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Text("2.5"), Number(2.9)}), Text("10.10"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(2.5), Number(-0.5)}), Text("10"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(0.5), Number(3)}), Text("0.100"));
}

TYPED_TEST(WorksheetFunctionsTest, BinaryToDecimalAndBitwiseOperations) {
    this->Open();
    EXPECT_EQ(this->Call("bin_Bin2Dec", {Text("-101.01")}), Number(-5.25));
    EXPECT_EQ(this->Call("bin_Bin2Dec", {Number(101)}), Number(5));
    EXPECT_EQ(this->Call("bin_bitXOR", {Number(5.25), Number(3.5)}), Number(6.75));
    EXPECT_EQ(this->Call("bin_bitOR", {Number(5.25), Number(3.5)}), Number(7.75));
    EXPECT_EQ(this->Call("bin_bitAnd", {Number(5.25), Number(3.5)}), Number(1));
    EXPECT_EQ(this->Call("bin_bitXOR", {Number(12), Text("10")}), Number(6));
    EXPECT_EQ(this->Call("bin_bitXOR", {Number(0.1), Number(0)}), Number(0.09999999962747097));
}

TYPED_TEST(WorksheetFunctionsTest, Shifts) {
    this->Open();
    EXPECT_EQ(this->Call("bin_leftShift", {Number(1), Number(1.9)}), Number(2));
    EXPECT_EQ(this->Call("bin_RightShift", {Number(5), Number(1)}), Number(2.5));
    EXPECT_EQ(this->Call("bin_RightShift", {Number(3), Number(-1)}), Number(6));
    EXPECT_EQ(this->Call("bin_leftShift", {Number(1), Number(2000)}), HostValue::Error(xlerrNum));
    EXPECT_EQ(this->Call("bin_leftShift", {Number(1), Number(1e300)}), HostValue::Error(xlerrNum));
    EXPECT_EQ(this->Call("bin_RightShift", {Number(1), Number(1e300)}), Number(0));
    // Only results beyond the double range are #NUM!; 2^n alone may be, the product not.
    EXPECT_EQ(this->Call("bin_leftShift", {Number(0), Number(1024)}), Number(0));
    EXPECT_EQ(this->Call("bin_RightShift", {Number(1), Number(1024)}), Number(0x1p-1024));
    EXPECT_EQ(this->Call("bin_RightShift", {Number(0x1p1000), Number(1050)}), Number(0x1p-50));
    EXPECT_EQ(this->Call("bin_leftShift", {Number(1e-300), Number(1100)}),
              Number(std::ldexp(1e-300, 1100)));
}

// Excel hands the functions its own text for each number: plain digits for 1E+15 and 1E-07,
// exponent notation for 1/70000 and 1E+20. Each is read at its value.
TYPED_TEST(WorksheetFunctionsTest, NumbersInEveryBandAreReadAtTheirValue) {
    this->Open();
    const auto dec2bin = [this](double value, double precision) {
        return this->Call("bin_Dec2Bin", {Number(value), Number(precision)});
    };
    EXPECT_EQ(dec2bin(1.0 / 70000, 30), Text("0.000000000000000011101111101011"));
    EXPECT_EQ(dec2bin(1e-7, 30), Text("0.000000000000000000000001101011"));
    EXPECT_EQ(dec2bin(1.5e-10, 40), Text("0." + std::string(32, '0') + "10100100"));
    EXPECT_EQ(dec2bin(2.5, 3), Text("10.100"));
    EXPECT_EQ(dec2bin(123456789012, 0), Text("integer part out of range: 123456789012"));
    EXPECT_EQ(dec2bin(1e15, 0), Text("integer part out of range: 1000000000000000"));
    EXPECT_EQ(dec2bin(1e20, 0), Text("integer part out of range: 100000000000000000000"));

    const auto bin2dec = [this](double value) {
        return this->Call("bin_Bin2Dec", {Number(value)});
    };
    EXPECT_EQ(bin2dec(1e20), Number(1048576));
    EXPECT_EQ(bin2dec(1e15), Number(32768));
    EXPECT_EQ(bin2dec(123456789012), Number(8108));
    EXPECT_EQ(bin2dec(1e-7), Number(0x1p-7));
    EXPECT_EQ(bin2dec(1.5e-10), Number(0.00341796875));
    EXPECT_EQ(bin2dec(1.0 / 70000), Number(0.1597118377685547));
    EXPECT_EQ(bin2dec(2.5), Number(4.5)); // "2.5": the digit 5 counts 5 halves

    const auto bitOr = [this](double value) {
        return this->Call("bin_bitOR", {Number(value), Number(0)});
    };
    EXPECT_EQ(bitOr(1e-7), Number(107 / 0x1p30));
    EXPECT_EQ(bitOr(1.0 / 70000), Number(15339 / 0x1p30));
    EXPECT_EQ(bitOr(1.5e-10), Number(0));
    EXPECT_EQ(bitOr(2.5), Number(2.5));
    EXPECT_EQ(bitOr(123456789012), Text("integer part out of range: 123456789012"));
    EXPECT_EQ(bitOr(1e15), Text("integer part out of range: 1000000000000000"));
    EXPECT_EQ(bitOr(1e20), Text("integer part out of range: 100000000000000000000"));
}

TYPED_TEST(WorksheetFunctionsTest, SignsAndLongOperands) {
    this->Open();
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Text(" -5.5"), Number(1)}), Text("-101.1"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(-2147483648.0), Number(0)}),
              Text("-1" + std::string(31, '0')));
    // A failure echoes 40 characters of a long operand, well within an Excel 4 text: no cut.
    testing::internal::CaptureStderr();
    const HostValue echoed = this->Call("bin_Dec2Bin", {Text(std::string(250, '9')), Number(0)});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(echoed, Text("integer part out of range: " + std::string(40, '9') + "..."));
}

TYPED_TEST(WorksheetFunctionsTest, TheFunctionWizardGetsTrueWithoutConversions) {
    this->Open();
    this->Excel().OpenFunctionWizard();
    const std::size_t before = this->Excel().Calls().size();
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Text("not a number"), Number(3)}),
              HostValue::Boolean(true));
    EXPECT_EQ(this->Call("bin_leftShift", {Number(1), Number(2000)}), HostValue::Boolean(true));
    for (std::size_t i = before; i < this->Excel().Calls().size(); ++i)
        EXPECT_NE(this->Excel().Calls()[i].function, xlCoerce);
    this->Excel().CloseFunctionWizard();
}

// What a call costs in the slow steps is fixed: one window search, the Excel callbacks in this
// order, and one named-mutex cycle for the reset and for every block of temporary memory (the
// coercion's type record, each argument's text, the result record and its text).
TYPED_TEST(WorksheetFunctionsTest, EachCallMakesItsCallbacksWindowSearchAndMutexCycles) {
    this->Open();
    struct Expected {
        std::string name;
        std::vector<HostValue> arguments;
        std::vector<int> callbacks;
        unsigned long long mutexCycles;
    };
    const std::vector<Expected> cases = {
        {"bin_Dec2Bin", {Number(2.5), Number(3)}, {xlGetHwnd, xlCoerce, xlFree}, 5},
        {"bin_Dec2Bin", {Text("2.5"), Number(3)}, {xlGetHwnd}, 4},
        {"bin_Bin2Dec", {Number(101.01)}, {xlGetHwnd, xlCoerce, xlFree}, 4},
        {"bin_Bin2Dec", {Text("101.01")}, {xlGetHwnd}, 3},
        {"bin_bitXOR",
         {Number(5.25), Number(3.5)},
         {xlGetHwnd, xlCoerce, xlFree, xlCoerce, xlFree},
         6},
        {"bin_bitAnd", {Text("5.25"), Text("3.5")}, {xlGetHwnd}, 4},
        {"bin_leftShift", {Number(1.5), Number(3)}, {xlGetHwnd}, 2},
    };
    for (const Expected& expected : cases) {
        const std::size_t before = this->Excel().CallsRecorded();
#ifndef _WIN32
        const win32compat::CallCounts counts = win32compat::Counts();
#endif
        this->Call(expected.name, expected.arguments);
        std::vector<int> callbacks;
        const auto& calls = this->Excel().Calls();
        for (std::size_t i = calls.size() - (this->Excel().CallsRecorded() - before);
             i < calls.size(); ++i)
            callbacks.push_back(calls[i].function);
        EXPECT_EQ(callbacks, expected.callbacks) << expected.name;
#ifndef _WIN32
        const win32compat::CallCounts after = win32compat::Counts();
        EXPECT_EQ(after.windowSearches - counts.windowSearches, 1u) << expected.name;
        EXPECT_EQ(after.mutexOpens - counts.mutexOpens, expected.mutexCycles) << expected.name;
        EXPECT_EQ(after.mutexWaits - counts.mutexWaits, expected.mutexCycles) << expected.name;
        EXPECT_EQ(after.mutexReleases - counts.mutexReleases, expected.mutexCycles)
            << expected.name;
        EXPECT_EQ(after.handleCloses - counts.handleCloses, expected.mutexCycles) << expected.name;
#endif
    }
}

TYPED_TEST(WorksheetFunctionsTest, FailuresBecomeTextsOrNothing) {
    this->Open();
    // Excel cannot make text of an error value: a standard exception, shown as its text.
    EXPECT_EQ(this->Call("bin_Dec2Bin", {HostValue::Error(xlerrNA), Number(3)}),
              Text("command failed, dec conversion to char* failed"));
    EXPECT_EQ(this->Call("bin_Dec2Bin", {Number(2.5), Number(65)}),
              Text("precision must be between 0 and 64"));
    EXPECT_EQ(this->Call("bin_bitAnd", {Number(3e9), Number(1)}),
              Text("integer part out of range: 3000000000"));
    // The library's own exceptions leave the cell without a value.
    this->Excel().FailNext(xlCoerce, xlretInvXloper);
    const xlstandin::CallResult result = this->Excel().Call("bin_Bin2Dec", {Number(101)});
    EXPECT_TRUE(result.called);
    EXPECT_TRUE(result.nullPointer);
}

TYPED_TEST(WorksheetFunctionsTest, ARefusedRegistrationIsLoggedAndTheOthersGoOn) {
    this->Excel().FailNext(xlfRegister, xlretFailed);
    testing::internal::CaptureStderr();
    std::streambuf* previous = std::cerr.rdbuf();
    EXPECT_EQ(xlAutoOpen(), 1);
    std::cerr.rdbuf(previous);
    EXPECT_EQ(this->Excel().Registrations().size(), 6u);
    EXPECT_EQ(this->Excel().Registrations()[0].procedure, "xlbin_Bin2Dec");
    testing::internal::GetCapturedStderr();
}

TYPED_TEST(WorksheetFunctionsTest, WithoutTheLibraryNameNothingIsRegistered) {
    this->Excel().FailEvery(xlGetName, xlretFailed);
    EXPECT_EQ(xlAutoOpen(), 0);
    EXPECT_TRUE(this->Excel().Registrations().empty());
}

} // namespace
