// The result lines of a calculation, in formula order: a formula's line waits while an earlier
// formula's asynchronous result is still to come.
#pragma once

#include "FormulaEvaluator.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace xlhost {

class ResultLines {
public:
    using Sink = std::function<void(const std::string&)>;

    // Each line, without its end, goes to out; a result that does not come in time is told to
    // notice, in one line naming the formula.
    ResultLines(FormulaEvaluator& evaluator, std::chrono::milliseconds asyncTimeout, Sink out,
                Sink notice)
        : evaluator_(evaluator), asyncTimeout_(asyncTimeout), out_(std::move(out)),
          notice_(std::move(notice)) {}

    // The formula's evaluation, before it is released: its line, or its pending result.
    void Add(const std::string& formula, const Evaluation& evaluation);
    // Waits at most the timeout for the results still to come, then prints every line left;
    // a result that did not come prints #N/A. False when any result of the calculation came too
    // late, which cancels the calculation.
    bool Finish();

private:
    struct Line {
        std::string formula;
        Evaluation evaluation;
        std::string text;
    };

    void PrintReady();
    void Settled(Line& line);

    FormulaEvaluator& evaluator_;
    std::chrono::milliseconds asyncTimeout_;
    Sink out_;
    Sink notice_;
    std::deque<Line> lines_;
    bool cancelled_ = false;
};

} // namespace xlhost
