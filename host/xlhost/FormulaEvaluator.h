// Evaluates formulas on the Excel stand-in: arguments first, each nested call's result becoming
// its argument, then the call itself, the way a worksheet formula is recalculated.
#pragma once

#include "ExcelStandIn.h"
#include "Expression.h"
#include "FunctionInvoker.h"

namespace xlhost {

struct Evaluation {
    xlstandin::CallResult result;
    // The result came as an XLOPER12 (type letter Q or U): its texts are 16-bit units.
    bool wideText = false;
};

class FormulaEvaluator {
public:
    explicit FormulaEvaluator(xlstandin::ExcelStandIn& excel) : excel_(excel) {}

    // A call of a name no function is registered under answers #NAME?.
    Evaluation Evaluate(const Expression& call);

private:
    // A nested call that returned a null pointer passes on #NUM!, as Excel shows that result.
    xlstandin::HostValue ArgumentValue(const Expression& argument);

    xlstandin::ExcelStandIn& excel_;
};

} // namespace xlhost
