#include "XlHost.h"

#include "AddInModule.h"
#include "CaseCheck.h"
#include "CrashGuard.h"
#include "FormulaEvaluator.h"
#include "FormulaParser.h"
#include "FunctionListing.h"
#include "ResultText.h"

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
        Evaluate(inputs.formulas);
    } else {
        failed = Check(inputs.cases);
    }
    excel_.CloseFunctionWizard();
    excel_.CloseReplaceDialog();
    CrashGuard::SetActivity("xlAutoClose");
    addIn.Close();
    const std::string memory = excel_.MemorySummary();
    if (!memory.empty()) {
        Fail("Excel memory after xlAutoClose: " + memory);
    }
    if (options_.status || options_.trace) {
        PrintUnplayed();
    }
    return opened && failed == 0 ? 0 : 1;
}

// Everything the run needs is read before the add-in loads: nothing runs on bad input.
bool XlHost::ReadInputs(Inputs& inputs) const {
    if (!ReadFormulas(inputs.formulas) || !ReadCells(inputs.cells)) {
        return false;
    }
    std::string error;
    if (!options_.check.empty() && !CaseFile::Read(options_.check, grid_, inputs.cases, error)) {
        Fail(error);
        return false;
    }
    return true;
}

bool XlHost::ReadFormulas(std::vector<Expression>& formulas) const {
    for (const std::string& text : options_.formulas) {
        Expression formula;
        std::string reason;
        if (!FormulaParser::Parse(text, formula, reason, grid_)) {
            Fail("cannot read formula \"" + text + "\": " + reason);
            return false;
        }
        formulas.push_back(formula);
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

void XlHost::Evaluate(const std::vector<Expression>& formulas) {
    for (std::size_t i = 0; i < formulas.size(); ++i) {
        EvaluateOne(i, options_.formulas[i], formulas[i],
                    [](const std::string& line) { std::cout << line << std::endl; });
    }
}

int XlHost::Check(const std::vector<CaseLine>& cases) {
    return CaseCheck::Run(
        cases, [this](const CellAssignment& cells) { CellLine::Apply(cells, excel_.Sheet()); },
        [this](std::size_t index, const CaseLine& line) {
            std::string got;
            EvaluateOne(index, line.formulaText, line.formula,
                        [&got](const std::string& result) { got = result; });
            return got;
        },
        std::cout);
}

void XlHost::EvaluateOne(std::size_t index, const std::string& text, const Expression& formula,
                         const std::function<void(const std::string&)>& use) {
    FormulaEvaluator evaluator(excel_);
    const std::string activity = "formula \"" + text + "\"";
    CrashGuard::SetActivity(activity);
    excel_.Workbook().SetCallerRow(static_cast<int>(index)); // formula i lives in row i + 1
    Evaluation evaluation = evaluator.Evaluate(formula);
    evaluator.ShowValue(evaluation);
    excel_.Workbook().ClearCaller();
    for (const std::string& failure : evaluation.failures) {
        Fail("cannot evaluate \"" + text + "\": " + failure);
    }
    use(ResultText::Of(evaluation.result, evaluation.wideText));
    CrashGuard::SetActivity(
        (evaluation.result.dllFreeExcel12 ? "xlAutoFree12 of " : "xlAutoFree of ") + activity);
    evaluator.Release(evaluation);
}

// xlfEvaluate of a formula xlhost reads: its result, nested results released at once.
bool XlHost::EvaluateText(const std::string& text, xlstandin::HostValue& value) {
    Expression formula;
    std::string reason;
    if (!FormulaParser::Parse(text, formula, reason, grid_)) {
        return false;
    }
    FormulaEvaluator evaluator(excel_);
    Evaluation evaluation = evaluator.Evaluate(formula);
    value = evaluation.result.nullPointer ? xlstandin::HostValue::Error(xlerrNum)
                                          : evaluation.result.value;
    evaluator.Release(evaluation);
    return evaluation.failures.empty();
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
