// Evaluates formulas on the Excel stand-in: arguments first, each nested call's result becoming
// its argument, then the call itself, the way a worksheet formula is recalculated.
#pragma once

#include "ExcelStandIn.h"
#include "Expression.h"
#include "FunctionInvoker.h"

#include <string>
#include <vector>

namespace xlhost {

struct Evaluation {
    xlstandin::CallResult result;
    // The result came as Excel 12 texts (type codes Q, U, C%, ...): 16-bit units.
    bool wideText = false;
    // Why calls of the formula, nested ones included, could not be made as Excel makes them.
    std::vector<std::string> failures;
};

class FormulaEvaluator {
public:
    explicit FormulaEvaluator(xlstandin::ExcelStandIn& excel) : excel_(excel) {}

    // A call of a name no function is registered under answers #NAME?. Nested results are
    // released once the call that took them returned; the caller releases the formula's own
    // through Release once it has used it.
    Evaluation Evaluate(const Expression& call);
    // A formula whose result is a reference shows what Excel shows in the formula's cell: the
    // cell's value, a block intersected implicitly with that cell, else #VALUE!.
    void ShowValue(Evaluation& evaluation);
    void Release(Evaluation& evaluation) { excel_.Release(evaluation.result); }

private:
    // A nested call that returned a null pointer passes on #NUM!, as Excel shows that result.
    xlstandin::HostValue ArgumentValue(const Expression& argument, Evaluation& outer);
    xlstandin::HostValue ReferenceValue(const Expression& reference);

    xlstandin::ExcelStandIn& excel_;
};

} // namespace xlhost
