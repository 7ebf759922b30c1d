// Evaluates formulas on the Excel stand-in: arguments first, each nested call's result becoming
// its argument, then the call itself, the way a worksheet formula is recalculated.
#pragma once

#include "ExcelStandIn.h"
#include "Expression.h"
#include "FunctionInvoker.h"

#include <chrono>
#include <string>
#include <vector>

namespace xlhost {

struct Evaluation {
    xlstandin::CallResult result;
    // The result came as Excel 12 texts (type codes Q, U, C%, ...): 16-bit units.
    bool wideText = false;
    // Why calls of the formula, nested ones included, could not be made as Excel makes them.
    std::vector<std::string> failures;
    // An asynchronous result, of the formula or of a call nested in it, did not come in time:
    // the result is #N/A.
    bool timedOut = false;
    // The asynchronous result has come, or its time is up.
    bool settled = false;

    // The formula's value is still to come through xlAsyncReturn.
    bool Pending() const { return result.asyncHandle != 0 && !settled; }
};

class FormulaEvaluator {
public:
    using Deadline = xlstandin::AsyncCalls::Deadline;

    // A nested asynchronous call is waited for at most asyncTimeout.
    explicit FormulaEvaluator(xlstandin::ExcelStandIn& excel,
                              std::chrono::milliseconds asyncTimeout = std::chrono::seconds(10))
        : excel_(excel), asyncTimeout_(asyncTimeout) {}

    // A call of a name no function is registered under answers #NAME?. Nested results are
    // released once the call that took them returned; the caller releases the formula's own
    // through Release once it has used it. An asynchronous formula comes back Pending; a call
    // that takes an asynchronous result waits for it first, and is not made when it does not
    // come in time.
    Evaluation Evaluate(const Expression& call);
    // A formula whose result is a reference shows what Excel shows in the formula's cell: the
    // cell's value, a block intersected implicitly with that cell, else #VALUE!.
    void ShowValue(Evaluation& evaluation);
    void Release(Evaluation& evaluation) { excel_.Release(evaluation.result); }
    xlstandin::AsyncCalls& Async() { return excel_.Async(); }
    // Takes a pending result if it has come, without waiting.
    bool Arrived(Evaluation& evaluation);
    // Waits for a pending result until the deadline: true when it came; otherwise its handle is
    // cancelled (a later answer is refused) and the result is #N/A.
    bool Settle(Evaluation& evaluation, Deadline deadline);

    // The value an argument passes on, a call's result released at once; its failures and
    // timeouts go to outer. A call that returned a null pointer passes on #NUM!, as Excel shows
    // that result.
    xlstandin::HostValue ArgumentValue(const Expression& argument, Evaluation& outer);
    xlstandin::HostValue ReferenceValue(const Expression& reference);

private:
    xlstandin::ExcelStandIn& excel_;
    std::chrono::milliseconds asyncTimeout_;
};

} // namespace xlhost
