#include "ResultLines.h"

#include "ResultText.h"

#include <charconv>
#include <vector>

namespace xlhost {

namespace {

std::string Seconds(std::chrono::milliseconds duration) {
    char digits[32];
    const double seconds = static_cast<double>(duration.count()) / 1000;
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, seconds).ptr);
}

} // namespace

void ResultLines::Add(const std::string& formula, const Evaluation& evaluation) {
    lines_.push_back(Line{formula, evaluation, ""});
    if (!evaluation.Pending()) {
        Settled(lines_.back());
    }
    PrintReady();
}

bool ResultLines::Finish() {
    std::vector<xlstandin::AsyncCalls::Handle> handles;
    for (const Line& line : lines_) {
        if (line.evaluation.Pending()) {
            handles.push_back(line.evaluation.result.asyncHandle);
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + asyncTimeout_;
    evaluator_.Async().Wait(handles, deadline);
    for (Line& line : lines_) {
        if (line.evaluation.Pending()) {
            evaluator_.Settle(line.evaluation, deadline);
            Settled(line);
        }
    }
    PrintReady();
    return !cancelled_;
}

void ResultLines::PrintReady() {
    while (!lines_.empty()) {
        Line& line = lines_.front();
        if (line.evaluation.Pending()) {
            if (!evaluator_.Arrived(line.evaluation)) {
                return;
            }
            Settled(line);
        }
        out_(line.text);
        lines_.pop_front();
    }
}

// The line of a result that is there, or known not to come.
void ResultLines::Settled(Line& line) {
    if (line.evaluation.timedOut) {
        cancelled_ = true;
        notice_("no asynchronous result for \"" + line.formula + "\" within " +
                Seconds(asyncTimeout_) + " seconds");
    }
    line.text = ResultText::Of(line.evaluation.result, line.evaluation.wideText);
}

} // namespace xlhost
