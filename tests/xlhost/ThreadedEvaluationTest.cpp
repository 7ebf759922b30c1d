// Formulas evaluated as Excel's multi-threaded recalculation does: thread-safe formulas on the
// calculation threads, the others on the main thread, each formula's evaluations in order.
#include "ThreadedEvaluation.h"
#include "ExcelStandInTest.h"
#include "FormulaParser.h"
#include "RecordCodec.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<int> counted{0};
const std::thread::id mainThread = std::this_thread::get_id();

// 1 on a calculation thread, 0 on the main thread, -1 on another thread.
double WhereCalled() {
    if (xlstandin::ExcelStandIn::OnCalculationThread()) {
        return 1;
    }
    return std::this_thread::get_id() == mainThread ? 0 : -1;
}

} // namespace

XLSTANDIN_TEST_EXPORT double __stdcall XlhostWhereSafe(double) {
    return WhereCalled();
}
XLSTANDIN_TEST_EXPORT double __stdcall XlhostWhere(double) {
    return WhereCalled();
}
XLSTANDIN_TEST_EXPORT double __stdcall XlhostCount() {
    return ++counted;
}

namespace {

using xlhost::FormulaOutcome;
using xlhost::ThreadedEvaluation;

class ThreadedEvaluationTest : public ExcelStandInTest {
protected:
    void SetUp() override {
        ExcelStandInTest::SetUp();
        const std::string module = TestModule({{"XlhostWhereSafe", Proc(&XlhostWhereSafe)},
                                               {"XlhostWhere", Proc(&XlhostWhere)},
                                               {"XlhostCount", Proc(&XlhostCount)}});
        Register({module, "XlhostWhereSafe", "BB$", "WhereSafe"});
        Register({module, "XlhostWhere", "BB", "Where"});
        Register({module, "XlhostCount", "B$", "Count"});
    }

    static void Register(const std::vector<std::string>& texts) {
        xlstandin::ResultMemory memory;
        std::vector<XLOPER> records(texts.size());
        std::vector<LPXLOPER> arguments;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            xlstandin::RecordCodec<XLOPER>::Write(xlstandin::HostValue::Text(texts[i]), records[i],
                                                  memory);
            arguments.push_back(&records[i]);
        }
        XLOPER id{};
        ASSERT_EQ(xlretSuccess, Excel().Excel4v(xlfRegister, &id, static_cast<int>(texts.size()),
                                                arguments.data()));
    }

    static std::vector<xlhost::Expression> Read(const std::vector<std::string>& texts) {
        std::vector<xlhost::Expression> formulas;
        for (const std::string& text : texts) {
            xlhost::Expression formula;
            std::string reason;
            EXPECT_TRUE(xlhost::FormulaParser::Parse(text, formula, reason)) << reason;
            formulas.push_back(formula);
        }
        return formulas;
    }
};

TEST_F(ThreadedEvaluationTest, ThreadSafeFormulasRunOnCalculationThreads) {
    const std::vector<FormulaOutcome> outcomes =
        ThreadedEvaluation(Excel(), 3, 5)
            .Run(Read({"WhereSafe(1)", "Where(1)", "WhereSafe(Where(1))", "WhereSafe(Nope(1))"}));
    ASSERT_EQ(outcomes.size(), 4u);
    EXPECT_EQ(outcomes[0].results, std::vector<std::string>(5, "1"));
    EXPECT_EQ(outcomes[1].results, std::vector<std::string>(5, "0"));
    EXPECT_EQ(outcomes[2].results, std::vector<std::string>(5, "0")) << "one unsafe function";
    EXPECT_EQ(outcomes[3].results, std::vector<std::string>(5, "#NAME?"));
    EXPECT_FALSE(xlstandin::ExcelStandIn::OnCalculationThread());
}

TEST_F(ThreadedEvaluationTest, OneThreadRunsEverythingOnTheMainThread) {
    const std::vector<FormulaOutcome> outcomes =
        ThreadedEvaluation(Excel(), 1, 2).Run(Read({"WhereSafe(1)"}));
    EXPECT_EQ(outcomes[0].results, std::vector<std::string>(2, "0"));
}

TEST_F(ThreadedEvaluationTest, EveryEvaluationIsSeparateAndDisagreementsShow) {
    counted = 0;
    const std::vector<FormulaOutcome> outcomes =
        ThreadedEvaluation(Excel(), 4, 50).Run(Read({"Count()"}));
    EXPECT_EQ(counted, 50);
    EXPECT_EQ(outcomes[0].results.size(), 50u);
    EXPECT_EQ(outcomes[0].DistinctResults().size(), 50u);
    FormulaOutcome same;
    same.results = {"\"a\"", "\"b\"", "\"a\"", "\"c\""};
    EXPECT_EQ(same.DistinctResults(), (std::vector<std::string>{"\"a\"", "\"b\"", "\"c\""}));
}

} // namespace
