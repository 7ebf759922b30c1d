#include "ThreadedEvaluation.h"

#include "FormulaEvaluator.h"
#include "ResultText.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace xlhost {

std::vector<std::string> FormulaOutcome::DistinctResults() const {
    std::vector<std::string> distinct;
    for (const std::string& result : results) {
        if (std::find(distinct.begin(), distinct.end(), result) == distinct.end()) {
            distinct.push_back(result);
        }
    }
    return distinct;
}

bool ThreadedEvaluation::IsThreadSafe(const Expression& formula,
                                      const xlstandin::ExcelStandIn& excel) {
    if (!formula.IsCall()) {
        return true;
    }
    const xlstandin::Registration* function = excel.FindFunction(formula.name);
    if (function == nullptr || function->typeText.find('$') == std::string::npos) {
        return false;
    }
    return std::all_of(
        formula.arguments.begin(), formula.arguments.end(),
        [&excel](const Expression& argument) { return IsThreadSafe(argument, excel); });
}

std::vector<FormulaOutcome> ThreadedEvaluation::Run(const std::vector<Expression>& formulas) {
    // Repetitions interleave formulas, so that every thread gets some of each.
    std::vector<Task> tasks;
    for (int repetition = 0; repetition < repeat_; ++repetition) {
        for (std::size_t i = 0; i < formulas.size(); ++i) {
            tasks.push_back(Task{&formulas[i], static_cast<int>(i), std::string(), {}});
        }
    }
    std::vector<Task*> threadSafe;
    std::vector<Task*> mainThread;
    for (Task& task : tasks) {
        (threads_ > 1 && IsThreadSafe(*task.formula, excel_) ? threadSafe : mainThread)
            .push_back(&task);
    }
    RunConcurrently(threadSafe, mainThread);

    std::vector<FormulaOutcome> outcomes(formulas.size());
    for (const Task& task : tasks) {
        FormulaOutcome& outcome = outcomes[static_cast<std::size_t>(task.cellRow)];
        outcome.results.push_back(task.result);
        for (const std::string& failure : task.failures) {
            if (std::find(outcome.failures.begin(), outcome.failures.end(), failure) ==
                outcome.failures.end()) {
                outcome.failures.push_back(failure);
            }
        }
    }
    return outcomes;
}

void ThreadedEvaluation::RunConcurrently(std::vector<Task*>& threadSafe,
                                         std::vector<Task*>& mainThread) const {
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> calculation;
    const int threadCount = threadSafe.empty() ? 0 : threads_;
    for (int i = 0; i < threadCount; ++i) {
        calculation.emplace_back([this, &threadSafe, &next] {
            const xlstandin::ExcelStandIn::CalculationThread onCalculationThread;
            for (std::size_t taken = next++; taken < threadSafe.size(); taken = next++) {
                Evaluate(*threadSafe[taken]);
            }
        });
    }
    for (Task* task : mainThread) {
        Evaluate(*task);
    }
    for (std::thread& thread : calculation) {
        thread.join();
    }
}

// The formula's cell is the caller; its result is printed, then released on this thread.
void ThreadedEvaluation::Evaluate(Task& task) const {
    FormulaEvaluator evaluator(excel_);
    excel_.Workbook().SetCallerRow(task.cellRow);
    Evaluation evaluation = evaluator.Evaluate(*task.formula);
    evaluator.ShowValue(evaluation);
    excel_.Workbook().ClearCaller();
    task.result = ResultText::Of(evaluation.result, evaluation.wideText);
    task.failures = evaluation.failures;
    evaluator.Release(evaluation);
}

} // namespace xlhost
