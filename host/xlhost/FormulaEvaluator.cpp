#include "FormulaEvaluator.h"

#include "ExcelApi.h"

#include <vector>

namespace xlhost {

using xlstandin::HostValue;

Evaluation FormulaEvaluator::Evaluate(const Expression& call) {
    Evaluation evaluation;
    std::vector<HostValue> arguments;
    for (const Expression& argument : call.arguments) {
        arguments.push_back(ArgumentValue(argument, evaluation));
    }
    if (evaluation.timedOut) {
        evaluation.result = xlstandin::CallResult{HostValue::Error(xlerrNA), false, false};
        return evaluation;
    }
    evaluation.result = excel_.Call(call.name, arguments);
    evaluation.wideText = evaluation.result.wideText;
    if (!evaluation.result.failure.empty()) {
        evaluation.failures.push_back(evaluation.result.failure);
    }
    return evaluation;
}

HostValue FormulaEvaluator::ArgumentValue(const Expression& argument, Evaluation& outer) {
    if (!argument.IsCall()) {
        return argument.value;
    }
    Evaluation nested = Evaluate(argument);
    if (nested.Pending()) {
        Settle(nested, std::chrono::steady_clock::now() + asyncTimeout_);
    }
    outer.timedOut = outer.timedOut || nested.timedOut;
    outer.failures.insert(outer.failures.end(), nested.failures.begin(), nested.failures.end());
    const HostValue value =
        nested.result.nullPointer ? HostValue::Error(xlerrNum) : nested.result.value;
    Release(nested); // Excel copies a nested result before the next call
    return value;
}

bool FormulaEvaluator::Arrived(Evaluation& evaluation) {
    if (!excel_.Async().Answered(evaluation.result.asyncHandle, evaluation.result.value,
                                 evaluation.wideText)) {
        return false;
    }
    evaluation.settled = true;
    return true;
}

bool FormulaEvaluator::Settle(Evaluation& evaluation, Deadline deadline) {
    xlstandin::AsyncCalls& calls = excel_.Async();
    calls.Wait({evaluation.result.asyncHandle}, deadline);
    if (Arrived(evaluation)) {
        return true;
    }
    calls.Cancel(evaluation.result.asyncHandle);
    if (Arrived(evaluation)) { // answered just before the handle was cancelled
        return true;
    }
    evaluation.settled = true;
    evaluation.timedOut = true;
    evaluation.result.value = HostValue::Error(xlerrNA);
    return false;
}

} // namespace xlhost
