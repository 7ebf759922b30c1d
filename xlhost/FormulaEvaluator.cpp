#include "FormulaEvaluator.h"

#include "Coercion.h"
#include "ImplicitIntersection.h"
#include "RecordCodec.h"
#include <vornix/ExcelApi.h>

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

void FormulaEvaluator::ShowValue(Evaluation& evaluation) {
    HostValue& value = evaluation.result.value;
    if (!value.Is(HostValue::Kind::Reference)) {
        return;
    }
    xlstandin::CellArea caller{};
    const bool inFormula = excel_.Workbook().CallerCell(caller);
    HostValue cell;
    HostValue shown;
    const xlstandin::Coercion cells(excel_.Sheet(), xlstandin::RecordCodec<XLOPER12>::Limits());
    if (!xlstandin::ImplicitIntersection::Of(value, inFormula ? &caller : nullptr, cell) ||
        !cells.Dereference(cell, shown)) {
        shown = HostValue::Error(xlerrValue);
    }
    value = shown;
}

HostValue FormulaEvaluator::ArgumentValue(const Expression& argument, Evaluation& outer) {
    if (argument.IsReference()) {
        return ReferenceValue(argument);
    }
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

// A sheet named in a formula is added when new; the formula's own sheet, named or not, is the
// current sheet, which Excel passes as a reference without a sheet.
HostValue FormulaEvaluator::ReferenceValue(const Expression& reference) {
    xlstandin::SheetModel& sheets = excel_.Sheet();
    std::uintptr_t sheetId = HostValue::CurrentSheet;
    if (!reference.sheet.empty() && sheets.SheetNamed(reference.sheet) != sheets.CurrentSheet()) {
        sheetId = sheets.SheetNamed(reference.sheet);
    }
    return HostValue::Reference(sheetId, reference.value.Areas());
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
