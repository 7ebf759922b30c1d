// Results whose contents the stand-in allocated stay tracked until xlFree, and frees Excel
// would not survive are reported, not crashed on.
#include "LayoutTest.h"

#include <gtest/gtest-spi.h>

#include <string>
#include <vector>

namespace {

using xlstandin::FreeProblem;

template <typename Record> class MemoryTest : public LayoutTest<Record> {
protected:
    Record* TextResult(double number) {
        Record* result = this->kit.Result();
        EXPECT_EQ(xlretSuccess, this->Coerce(this->kit.Num(number), xltypeStr, result));
        return result;
    }

    // Messages of the failures the shared fixture's end-of-test check reports now.
    std::vector<std::string> EndOfTestFailures() {
        ::testing::TestPartResultArray failures;
        {
            ::testing::ScopedFakeTestPartResultReporter reporter(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                &failures);
            ExcelStandInTest::TearDown();
        }
        std::vector<std::string> messages;
        for (int i = 0; i < failures.size(); ++i) {
            messages.push_back(failures.GetTestPartResult(i).message());
        }
        return messages;
    }
};
TYPED_TEST_SUITE(MemoryTest, RecordLayouts, LayoutNames);

TYPED_TEST(MemoryTest, ResultsStayOutstandingUntilOneFreeReleasesThem) {
    auto* first = this->TextResult(1);
    auto* second = this->TextResult(2);
    auto* number = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Str("3"), xltypeNum | xltypeInt, number));
    EXPECT_EQ(2u, this->Excel().OutstandingAllocations());

    ASSERT_EQ(xlretSuccess, this->Call(xlFree, nullptr, {first, number, second}));
    EXPECT_EQ(0u, this->Excel().OutstandingAllocations());
    EXPECT_TRUE(this->Excel().FreeProblems().empty());
}

TYPED_TEST(MemoryTest, AnArrayAndItsTextsAreOneAllocation) {
    auto& sheet = this->Excel().Sheet();
    sheet.SetCell(sheet.CurrentSheet(), 0, 0, xlstandin::HostValue::Text("a"));
    sheet.SetCell(sheet.CurrentSheet(), 1, 0, xlstandin::HostValue::Text("b"));
    auto* array = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.SRef(0, 1, 0, 0), xltypeMulti, array));
    EXPECT_EQ(1u, this->Excel().OutstandingAllocations());
    this->Free(array);
    EXPECT_EQ(0u, this->Excel().OutstandingAllocations());
    EXPECT_EQ(nullptr, array->val.array.lparray);
    EXPECT_EQ(xltypeMulti, array->xltype);
}

// As in Excel, xlFree sets the record's pointer to null and keeps its type, so a second free of
// the record is harmless; a copy of the record taken before still points at the contents, and
// freeing it is a double free.
TYPED_TEST(MemoryTest, ASecondFreeIsReportedAsDoubleFree) {
    auto* text = this->TextResult(5.25);
    auto copy = *text;
    const void* contents = copy.val.str;
    this->Free(text);
    EXPECT_EQ(nullptr, text->val.str);
    EXPECT_EQ(xltypeStr, text->xltype);
    this->Free(text);
    EXPECT_TRUE(this->Excel().FreeProblems().empty());
    this->Free(&copy);
    auto problems = this->Excel().TakeFreeProblems();
    ASSERT_EQ(1u, problems.size());
    EXPECT_EQ(FreeProblem::Kind::DoubleFree, problems[0].kind);
    EXPECT_EQ(xltypeStr, problems[0].type);
    EXPECT_EQ(contents, problems[0].address);
}

TYPED_TEST(MemoryTest, FreeingMemoryNeverHandedOutIsReported) {
    auto* own = this->kit.Str("mine");
    auto* ownArray = this->kit.Multi(1, 1, {this->kit.Num(1)});
    ASSERT_EQ(xlretSuccess, this->Call(xlFree, nullptr, {own, ownArray, this->kit.Num(2)}));
    auto problems = this->Excel().TakeFreeProblems();
    ASSERT_EQ(2u, problems.size());
    EXPECT_EQ(FreeProblem::Kind::UnknownFree, problems[0].kind);
    EXPECT_EQ(static_cast<const void*>(own->val.str), problems[0].address);
    EXPECT_EQ(FreeProblem::Kind::UnknownFree, problems[1].kind);
    EXPECT_EQ(xltypeMulti, problems[1].type);
}

// The library marks Excel's results with bit 0x8000 and must clear it before xlFree.
TYPED_TEST(MemoryTest, AForeignBitInTheTypeWordIsReportedAndFreesNothing) {
    auto* text = this->TextResult(1);
    text->xltype |= 0x8000;
    this->Free(text);
    auto problems = this->Excel().TakeFreeProblems();
    ASSERT_EQ(1u, problems.size());
    EXPECT_EQ(FreeProblem::Kind::InvalidRecord, problems[0].kind);
    EXPECT_EQ(0x8002u, problems[0].type);
    EXPECT_EQ(1u, this->Excel().OutstandingAllocations());

    // Excel's own memory bits are no value bits and do not stand in the way.
    text->xltype = xltypeStr | xlbitXLFree;
    this->Free(text);
    EXPECT_EQ(0u, this->Excel().OutstandingAllocations());
}

// xlhost prints this line after xlAutoClose when anything went wrong.
TYPED_TEST(MemoryTest, TheSummaryCountsLeaksDoubleFreesAndForeignFrees) {
    EXPECT_EQ("", this->Excel().MemorySummary());
    // Made before anything is freed, so that the heap cannot hand it a freed text's address.
    auto* mine = this->kit.Str("mine");
    auto* freedTwice = this->TextResult(1);
    this->TextResult(2);
    this->TextResult(3);
    auto copy = *freedTwice;
    this->Free(freedTwice);
    this->Free(&copy);
    ASSERT_EQ(xlretSuccess, this->Call(xlFree, nullptr, {mine}));
    EXPECT_EQ("2 never freed, 1 freed twice, 1 freed but never handed out",
              this->Excel().MemorySummary());
    this->Excel().Reset();
    EXPECT_EQ("", this->Excel().MemorySummary());
}

TYPED_TEST(MemoryTest, TheSharedFixtureReportsWhatATestLeavesBehind) {
    auto* text = this->TextResult(1);
    auto failures = this->EndOfTestFailures();
    ASSERT_EQ(1u, failures.size());
    EXPECT_NE(std::string::npos, failures[0].find("not given back through xlFree"));

    auto copy = *text;
    this->Free(text);
    this->Free(&copy);
    failures = this->EndOfTestFailures();
    ASSERT_EQ(1u, failures.size());
    EXPECT_NE(std::string::npos, failures[0].find("xlFree: double free (type 0x0002"));
    this->Excel().TakeFreeProblems();
}

} // namespace
