#include "XlHost.h"

#include "AddInModule.h"
#include "CaseCheck.h"
#include "CrashGuard.h"
#include "FormulaEvaluator.h"
#include "FormulaParser.h"
#include "FunctionListing.h"
#include "LineFile.h"
#include "ResultLines.h"
#include "ThreadedEvaluation.h"

#include <deque>
#include <exception>
#include <iostream>

namespace xlhost {

int XlHost::Run() {
    Inputs inputs;
    if (!ReadInputs(inputs)) {
        return options_.check.empty() ? 1 : CouldNotRun;
    }
    if (!PrepareExcel()) {
        return 1;
    }
    for (const CellAssignment& cells : inputs.cells) {
        CellLine::Apply(cells, excel_.Sheet());
    }
    try {
        return RunAddIn(inputs);
    } catch (const std::exception&) {
        throw; // xlhost's own
    } catch (...) {
        CrashGuard::Crash("uncaught C++ exception");
    }
}

int XlHost::RunAddIn(const Inputs& inputs) {
    CrashGuard::SetActivity("DllMain");
    AddInModule addIn;
    std::string reason;
    if (!addIn.Load(options_.addIn, reason)) {
        Fail(reason);
        return options_.check.empty() ? 1 : CouldNotRun;
    }
    excel_.SetAddInName(addIn.FileName());
    CrashGuard::SetActivity("xlAutoOpen");
    const bool opened = addIn.Open();
    if (!opened) {
        Fail("xlAutoOpen of " + addIn.FileName() + " returned 0");
    }
    if (options_.list) {
        PrintFunctions();
    }
    if (options_.wizard) {
        excel_.OpenFunctionWizard();
    }
    if (options_.replaceDialog) {
        excel_.OpenReplaceDialog();
    }
    int failed = 0;
    if (options_.check.empty()) {
        Calculate(inputs.lines, [](const CaseLine&, const std::string& result) {
            std::cout << result << std::endl;
        });
    } else {
        CaseCheck check(std::cout);
        Calculate(inputs.lines, [&check](const CaseLine& line, const std::string& got) {
            check.Compare(line, got);
        });
        failed = check.Close();
    }
    excel_.CloseFunctionWizard();
    excel_.CloseReplaceDialog();
    excel_.Async().Close(); // answers from the add-in's threads come too late from now on
    CrashGuard::SetActivity("xlAutoClose");
    addIn.Close();
    const std::string memory = excel_.MemorySummary();
    if (!memory.empty()) {
        Fail("Excel memory after xlAutoClose: " + memory);
    }
    if (options_.status || options_.trace) {
        PrintUnplayed();
    }
    return opened && failed == 0 && !disagreed_ ? 0 : 1;
}

// Everything the run needs is read before the add-in loads: nothing runs on bad input.
bool XlHost::ReadInputs(Inputs& inputs) const {
    if (!ReadFormulas(inputs.lines) || !ReadCells(inputs.cells)) {
        return false;
    }
    std::string error;
    if (!options_.check.empty() && !CaseFile::Read(options_.check, grid_, inputs.lines, error)) {
        Fail(error);
        return false;
    }
    return true;
}

bool XlHost::ReadFormulas(std::vector<CaseLine>& lines) const {
    std::vector<std::string> texts = options_.formulas;
    for (const std::string& file : options_.formulaFiles) {
        std::vector<std::string> fileLines;
        std::string error;
        if (!LineFile::Read(file, fileLines, error)) {
            Fail(error);
            return false;
        }
        for (const std::string& text : fileLines) {
            if (!LineFile::IsComment(text)) {
                texts.push_back(text);
            }
        }
    }
    for (const std::string& text : texts) {
        CaseLine line;
        line.formulaText = text;
        std::string reason;
        if (!FormulaParser::Parse(text, line.formula, reason, grid_)) {
            Fail("cannot read formula \"" + text + "\": " + reason);
            return false;
        }
        lines.push_back(line);
    }
    return true;
}

bool XlHost::ReadCells(std::vector<CellAssignment>& cells) const {
    for (const CellSource& source : options_.cells) {
        std::string error;
        if (source.file) {
            if (!CellLine::ReadFile(source.text, grid_, cells, error)) {
                Fail(error);
                return false;
            }
            continue;
        }
        CellAssignment cell;
        if (!CellLine::Parse(source.text, grid_, cell, error)) {
            Fail("--cell " + source.text + ": " + error);
            return false;
        }
        cells.push_back(cell);
    }
    return true;
}

bool XlHost::PrepareExcel() {
    excel_.Reset(options_.excelVersion);
    excel_.Install();
    // Before the add-in loads: XLCALL32.DLL refuses to load from then on.
    if (options_.noXlCall && !excel_.SetXlCallReachable(false)) {
        Fail("cannot keep XLCALL32.DLL out of reach");
        return false;
    }
    for (const InjectedFault& fault : options_.faults) {
        excel_.FailEvery(fault.function, fault.code);
    }
    if (options_.status) {
        excel_.SetStatusListener(&XlHost::PrintStatus);
    }
    if (options_.trace) {
        excel_.SetTraceListener(&XlHost::PrintTrace);
    }
    excel_.Workbook().SetEvaluator([this](const std::string& text, xlstandin::HostValue& value) {
        return EvaluateText(text, value);
    });
    excel_.SetNoticeListener(&XlHost::Fail);
    return true;
}

void XlHost::PrintFunctions() const {
    for (const xlstandin::Registration& function : excel_.Registrations()) {
        std::cout << FunctionListing::Line(function) << std::endl;
    }
}

// One calculation: the formulas in order, each cell line setting cells for the formulas after
// it. Their result lines come in formula order, an asynchronous result's once it has come; then
// the events of the calculation's end (or cancel, when a result did not come in time) fire.
void XlHost::Calculate(const std::vector<CaseLine>& lines, const ResultUse& use) {
    if (options_.threads > 1 || options_.repeat > 1) {
        CalculateConcurrently(lines, use);
        return;
    }
    FormulaEvaluator evaluator(excel_, options_.asyncTimeout);
    std::deque<const CaseLine*> waiting; // the formulas whose result lines are still to come
    ResultLines results(
        evaluator, options_.asyncTimeout,
        [&waiting, &use](const std::string& result) {
            use(*waiting.front(), result);
            waiting.pop_front();
        },
        &XlHost::Fail);
    std::size_t formulas = 0;
    for (const CaseLine& line : lines) {
        if (line.setsCells) {
            CellLine::Apply(line.cells, excel_.Sheet());
            continue;
        }
        waiting.push_back(&line);
        EvaluateOne(evaluator, results, formulas++, line);
    }
    CrashGuard::SetActivity("a thread of its own"); // the add-in's, answering asynchronously
    const bool ended = results.Finish();
    if (formulas > 0) {
        FireEvent(ended ? xlstandin::xleventCalculationEnded
                        : xlstandin::xleventCalculationCanceled);
    }
}

void XlHost::EvaluateOne(FormulaEvaluator& evaluator, ResultLines& results, std::size_t index,
                         const CaseLine& line) {
    const std::string activity = "formula \"" + line.formulaText + "\"";
    CrashGuard::SetActivity(activity);
    excel_.Workbook().SetCallerRow(static_cast<int>(index)); // formula i lives in row i + 1
    Evaluation evaluation = evaluator.Evaluate(line.formula);
    evaluator.ShowValue(evaluation);
    excel_.Workbook().ClearCaller();
    for (const std::string& failure : evaluation.failures) {
        Fail("cannot evaluate \"" + line.formulaText + "\": " + failure);
    }
    results.Add(line.formulaText, evaluation);
    CrashGuard::SetActivity(
        (evaluation.result.dllFreeExcel12 ? "xlAutoFree12 of " : "xlAutoFree of ") + activity);
    evaluator.Release(evaluation);
}

// Each command the add-in registered for the event with xlEventRegister, in the order
// registered.
void XlHost::FireEvent(int event) {
    const std::vector<xlstandin::EventRegistration> registered = excel_.Workbook().Events();
    for (const xlstandin::EventRegistration& handler : registered) {
        if (handler.event != event) {
            continue;
        }
        if (excel_.FindFunction(handler.procedure) == nullptr) {
            Fail("event handler \"" + handler.procedure + "\" is no registered command");
            continue;
        }
        CrashGuard::SetActivity("event handler \"" + handler.procedure + "\"");
        xlstandin::CallResult result = excel_.Call(handler.procedure, {});
        excel_.Release(result);
    }
}

// xlfEvaluate of a formula xlhost reads: its result, nested results released at once.
bool XlHost::EvaluateText(const std::string& text, xlstandin::HostValue& value) {
    Expression formula;
    std::string reason;
    if (!FormulaParser::Parse(text, formula, reason, grid_)) {
        return false;
    }
    FormulaEvaluator evaluator(excel_, options_.asyncTimeout);
    Evaluation outer;
    value = evaluator.ArgumentValue(formula, outer);
    return outer.failures.empty() && !outer.timedOut;
}

// As Excel's multi-threaded recalculation: the cell lines first, then every formula at once on
// the calculation threads or the main thread (ThreadedEvaluation). Asynchronous results are not
// waited for there.
void XlHost::CalculateConcurrently(const std::vector<CaseLine>& lines, const ResultUse& use) {
    std::vector<const CaseLine*> formulaLines;
    std::vector<Expression> formulas;
    for (const CaseLine& line : lines) {
        if (line.setsCells) {
            CellLine::Apply(line.cells, excel_.Sheet());
            continue;
        }
        formulaLines.push_back(&line);
        formulas.push_back(line.formula);
    }
    CrashGuard::SetActivity("formulas on " + std::to_string(options_.threads) + " threads");
    ThreadedEvaluation evaluation(excel_, options_.threads, options_.repeat);
    const std::vector<FormulaOutcome> outcomes = evaluation.Run(formulas);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const std::string& text = formulaLines[i]->formulaText;
        for (const std::string& failure : outcomes[i].failures) {
            Fail("cannot evaluate \"" + text + "\": " + failure);
        }
        const std::vector<std::string> distinct = outcomes[i].DistinctResults();
        use(*formulaLines[i], distinct.front());
        if (distinct.size() > 1) {
            std::string results;
            for (const std::string& result : distinct) {
                results += (results.empty() ? "" : ", ") + result;
            }
            Fail("\"" + text + "\" gave different results: " + results);
            disagreed_ = true;
        }
    }
}

void XlHost::PrintUnplayed() const {
    for (const auto& unplayed : excel_.UnplayedCalls()) {
        Fail("callback not played: " + xlstandin::ExcelStandIn::FunctionName(unplayed.first) +
             " (" + std::to_string(unplayed.second) + " calls answered xlretInvXlfn)");
    }
}

void XlHost::PrintTrace(const xlstandin::CallbackCall& call) {
    std::cerr << "trace> " << xlstandin::ExcelStandIn::FunctionName(call.function)
              << (call.excel12 ? " through Excel12, " : " through Excel4, ") << call.count
              << " arguments: code " << call.code << std::endl;
}

void XlHost::PrintStatus(const xlstandin::StatusMessage& message) {
    std::cerr << "status> " << (message.shown ? message.text : "(cleared)") << std::endl;
}

void XlHost::Fail(const std::string& what) {
    std::cerr << "xlhost: " << what << std::endl;
}

} // namespace xlhost
