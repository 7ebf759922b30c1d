#include "FormulaEvaluator.h"

#include "ExcelApi.h"

#include <vector>

namespace xlhost {

using xlstandin::HostValue;

Evaluation FormulaEvaluator::Evaluate(const Expression& call) {
    std::vector<HostValue> arguments;
    for (const Expression& argument : call.arguments) {
        arguments.push_back(ArgumentValue(argument));
    }
    Evaluation evaluation;
    const xlstandin::Registration* function = excel_.FindFunction(call.name);
    if (function != nullptr) {
        const char result = function->types.ResultType()[0];
        evaluation.wideText = result == 'Q' || result == 'U';
    }
    evaluation.result = excel_.Call(call.name, arguments);
    return evaluation;
}

HostValue FormulaEvaluator::ArgumentValue(const Expression& argument) {
    if (!argument.IsCall()) {
        return argument.value;
    }
    const Evaluation nested = Evaluate(argument);
    return nested.result.nullPointer ? HostValue::Error(xlerrNum) : nested.result.value;
}

} // namespace xlhost
