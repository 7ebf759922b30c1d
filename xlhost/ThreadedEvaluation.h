// Evaluates formulas as Excel's multi-threaded recalculation does: a formula whose functions are
// all registered thread-safe runs on one of the calculation threads, all such formulas at once,
// while the others run on the main thread meanwhile. Each formula may be evaluated several times,
// each time separately and spread over the threads; each result is released (xlAutoFree) on the
// thread that made it.
#pragma once

#include "ExcelStandIn.h"
#include "Expression.h"

#include <cstddef>
#include <string>
#include <vector>

namespace xlhost {

// The results of one formula's evaluations, in order, as xlhost prints them, and why calls of it
// could not be made as Excel makes them.
struct FormulaOutcome {
    std::vector<std::string> results;
    std::vector<std::string> failures;

    // The different results in order of first appearance: one when all evaluations agree.
    std::vector<std::string> DistinctResults() const;
};

class ThreadedEvaluation {
public:
    ThreadedEvaluation(xlstandin::ExcelStandIn& excel, int threads, int repeat)
        : excel_(excel), threads_(threads), repeat_(repeat) {}

    std::vector<FormulaOutcome> Run(const std::vector<Expression>& formulas);

    // Whether every function the formula calls is registered thread-safe ("$").
    static bool IsThreadSafe(const Expression& formula, const xlstandin::ExcelStandIn& excel);

private:
    // One evaluation of one formula, and what it gave.
    struct Task {
        const Expression* formula;
        int cellRow;
        std::string result;
        std::vector<std::string> failures;
    };

    void Evaluate(Task& task) const;
    // Evaluates the tasks on the calculation threads until none is left; the main thread's tasks
    // run meanwhile.
    void RunConcurrently(std::vector<Task*>& threadSafe, std::vector<Task*>& mainThread) const;

    xlstandin::ExcelStandIn& excel_;
    int threads_;
    int repeat_;
};

} // namespace xlhost
