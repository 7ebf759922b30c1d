// The exception barrier of worksheet functions: what Excel receives for each kind of result,
// while the function wizard is open and for each kind of exception, in both Excel modes.
#include "GatewayTest.h"
#include "RecordCodec.h"
#include <vornix/WorksheetCall.h>
#include <vornix/XlfExceptionAbort.h>
#include <vornix/XlfExceptionStackOverflow.h>
#include <vornix/XlfExceptionUncalculated.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using vornix::CellMatrix;
using vornix::DoubleMatrix;
using vornix::WorksheetCall;
using vornix::XlfOper;

namespace {

template <typename Mode> class WorksheetCallTest : public GatewayTest<Mode> {
protected:
    using Record = typename Mode::Record;

    // A record as the stand-in reads it: "2.5", "\"text\"", "TRUE", "#VALUE!", "{1,2}", or
    // "(null)" for no record.
    static std::string Shown(LPXLFOPER result) {
        if (result == nullptr) {
            return "(null)";
        }
        xlstandin::HostValue value;
        EXPECT_TRUE(xlstandin::RecordCodec<Record>::Read(*static_cast<Record*>(result), value));
        std::ostringstream text;
        text << value;
        return text.str();
    }

    template <typename Body> static std::string RecordOf(Body body) {
        return Shown(WorksheetCall::Run(body));
    }

    // Excel's coercion of a number to text, held by a value that owns Excel's memory.
    XlfOper ExcelOwnedText(double number) {
        XlfOper result;
        const XlfOper wanted{static_cast<short>(xltypeStr)};
        const XlfOper source(number);
        EXPECT_EQ(this->Gateway().Call(xlCoerce, result.AsValuePointer(), 2,
                                       source.AsValuePointer(), wanted.AsValuePointer()),
                  xlretSuccess);
        EXPECT_TRUE(result.IsExcelOwned());
        return result;
    }
};
TYPED_TEST_SUITE(WorksheetCallTest, BothModes);

// One way a body fails, with what each result kind answers for it.
struct Failure {
    std::string name;
    std::function<void()> raise;
    std::string record;
};

std::vector<Failure> Failures() {
    CellMatrix cells(1, 2);
    cells(0, 0) = "a";
    cells(0, 1) = 4.0;
    const char* noText = nullptr;
    return {
        {"XlfException", [] { throw vornix::XlfException("own"); }, "(null)"},
        {"XlfExceptionUncalculated", [] { throw vornix::XlfExceptionUncalculated(); }, "(null)"},
        {"XlfExceptionAbort", [] { throw vornix::XlfExceptionAbort(); }, "(null)"},
        {"XlfExceptionStackOverflow", [] { throw vornix::XlfExceptionStackOverflow(); }, "(null)"},
        {"std::exception", [] { throw std::runtime_error("standard"); }, "\"standard\""},
        {"std::string", [] { throw std::string("a string"); }, "\"a string\""},
        {"const char*", [] { throw "a text"; }, "\"a text\""},
        {"null const char*", [noText] { throw noText; }, "#VALUE!"},
        {"CellMatrix", [cells] { throw cells; }, "{\"a\",4}"},
        {"empty CellMatrix", [] { throw CellMatrix(); }, "#VALUE!"},
        {"int", [] { throw 42; }, "#VALUE!"},
    };
}

TYPED_TEST(WorksheetCallTest, EachExceptionGetsItsAnswerInEachResultKind) {
    for (const Failure& failure : Failures()) {
        EXPECT_EQ(this->RecordOf([&]() -> LPXLFOPER {
            failure.raise();
            return nullptr;
        }),
                  failure.record)
            << failure.name;
        EXPECT_TRUE(std::isnan(WorksheetCall::Run<double>([&]() -> double {
            failure.raise();
            return 0;
        }))) << failure.name;
    }
}

TYPED_TEST(WorksheetCallTest, WhileTheWizardIsOpenTheBodyDoesNotRun) {
    this->Excel().OpenFunctionWizard();
    int runs = 0;
    EXPECT_EQ(this->RecordOf([&] { return ++runs; }), "TRUE");
    EXPECT_EQ(this->RecordOf([&]() -> LPXLFOPER { throw ++runs; }), "TRUE");
    EXPECT_EQ(WorksheetCall::Run<double>([&] { return ++runs; }), 1.0);
    EXPECT_EQ(runs, 0);
    this->Excel().CloseFunctionWizard();
    EXPECT_EQ(this->RecordOf([&] { return ++runs; }), "1");
}

TYPED_TEST(WorksheetCallTest, EachValueABodyReturnsBecomesItsRecord) {
    const XlfOper made("made");
    EXPECT_EQ(this->RecordOf([&] { return made.AsValuePointer(); }), "\"made\"");
    EXPECT_EQ(this->RecordOf([&] { return XlfOper::Error(xlerrNA); }), "#N/A");
    EXPECT_EQ(this->RecordOf([] { return nullptr; }), "(null)");
    EXPECT_EQ(this->RecordOf([] { return 2.5; }), "2.5");
    EXPECT_EQ(this->RecordOf([] { return -7; }), "-7");
    EXPECT_EQ(this->RecordOf([] { return true; }), "TRUE");
    EXPECT_EQ(this->RecordOf([] { return "text"; }), "\"text\"");
    EXPECT_EQ(this->RecordOf([] { return std::string("string"); }), "\"string\"");
    EXPECT_EQ(this->RecordOf([] { return std::wstring(L"wide"); }), "\"wide\"");
    EXPECT_EQ(this->RecordOf([] { return CellMatrix(2.0); }), "{2}");
    DoubleMatrix numbers(1, 2);
    numbers(0, 0) = 1;
    numbers(0, 1) = 2;
    EXPECT_EQ(this->RecordOf([&] { return numbers; }), "{1,2}");
    EXPECT_EQ(this->RecordOf([] { return std::vector<double>{3, 4}; }), "{3;4}");
}

TYPED_TEST(WorksheetCallTest, ResultsExcelCannotShowBecomeErrors) {
    EXPECT_EQ(this->RecordOf([] { return std::numeric_limits<double>::infinity(); }), "#NUM!");
    EXPECT_EQ(this->RecordOf([] { return -std::numeric_limits<double>::infinity(); }), "#NUM!");
    EXPECT_EQ(this->RecordOf([] { return std::nan(""); }), "#NUM!");
    EXPECT_EQ(this->RecordOf([] { return static_cast<const char*>(nullptr); }), "#VALUE!");
    EXPECT_EQ(this->RecordOf([] { return CellMatrix(); }), "#VALUE!");
    EXPECT_EQ(this->RecordOf([] { return std::vector<double>(); }), "#VALUE!");
    EXPECT_EQ(this->RecordOf([] { return DoubleMatrix(0, 0); }), "#VALUE!");
}

TYPED_TEST(WorksheetCallTest, NumberResultsPassThrough) {
    EXPECT_EQ(WorksheetCall::Run<double>([] { return 2.5; }), 2.5);
    EXPECT_EQ(WorksheetCall::Run<double>([] { return 3; }), 3.0);
    EXPECT_EQ(WorksheetCall::Run<double>([] { return -std::numeric_limits<double>::infinity(); }),
              -std::numeric_limits<double>::infinity());
}

// The value holding Excel's memory gives it back when the body's result is gone; Excel must
// still read the text afterwards, from the library's own copy. The fixture checks that Excel's
// memory went back exactly once.
TYPED_TEST(WorksheetCallTest, AResultHoldingExcelsMemoryIsCopiedBeforeItGoesBack) {
    const LPXLFOPER result = WorksheetCall::Run([&] { return this->ExcelOwnedText(2.5); });
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
    EXPECT_EQ(this->Shown(result), "\"2.5\"");
}

// The reset of earlier calls' memory belongs to the barrier: a record of an earlier call is
// reused by the next one.
TYPED_TEST(WorksheetCallTest, EachCallStartsFromResetMemory) {
    const LPXLFOPER first = WorksheetCall::Run([] { return 1.0; });
    const LPXLFOPER second = WorksheetCall::Run([] { return 2.0; });
    EXPECT_EQ(first, second);
    EXPECT_EQ(this->Shown(second), "2");
}

class WorksheetCallExcel4Test : public GatewayTest<Excel4Mode> {};

// An array too tall for Excel 4 records cannot be made in the handler either.
TEST_F(WorksheetCallExcel4Test, AnAnswerThatFailsItselfIsNull) {
    const LPXLFOPER result = WorksheetCall::Run([]() -> LPXLFOPER { throw CellMatrix(65536, 1); });
    EXPECT_EQ(result, nullptr);
}

} // namespace
