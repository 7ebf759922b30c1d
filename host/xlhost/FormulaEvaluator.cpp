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
    outer.failures.insert(outer.failures.end(), nested.failures.begin(), nested.failures.end());
    const HostValue value =
        nested.result.nullPointer ? HostValue::Error(xlerrNum) : nested.result.value;
    Release(nested); // Excel copies a nested result before the next call
    return value;
}

} // namespace xlhost
