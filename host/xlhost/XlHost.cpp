#include "XlHost.h"

#include "AddInModule.h"
#include "CrashGuard.h"
#include "FormulaEvaluator.h"
#include "FormulaFile.h"
#include "FormulaParser.h"
#include "FunctionListing.h"
#include "ResultLines.h"
#include "ResultText.h"

#include <exception>
#include <iostream>

namespace xlhost {

int XlHost::Run() {
    std::vector<Expression> formulas;
    if (!ReadFormulas(formulas) || !PrepareExcel()) {
        return 1;
    }
    try {
        return RunAddIn(formulas);
    } catch (const std::exception&) {
        throw; // xlhost's own
    } catch (...) {
        CrashGuard::Crash("uncaught C++ exception");
    }
}

int XlHost::RunAddIn(const std::vector<Expression>& formulas) {
    CrashGuard::SetActivity("DllMain");
    AddInModule addIn;
    std::string reason;
    if (!addIn.Load(options_.addIn, reason)) {
        Fail(reason);
        return 1;
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
    Evaluate(formulas);
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
    return opened ? 0 : 1;
}

bool XlHost::ReadFormulas(std::vector<Expression>& formulas) {
    texts_ = options_.formulas;
    if (!ReadFormulaFiles()) {
        return false;
    }
    for (const std::string& text : texts_) {
        Expression formula;
        std::string reason;
        if (!FormulaParser::Parse(text, formula, reason)) {
            Fail("cannot read formula \"" + text + "\": " + reason);
            return false;
        }
        formulas.push_back(formula);
    }
    return true;
}

bool XlHost::ReadFormulaFiles() {
    for (const std::string& file : options_.formulaFiles) {
        std::string content;
        if (!FormulaFile::Read(file, content)) {
            Fail("cannot read formulas from " + (file == "-" ? "standard input" : file));
            return false;
        }
        for (const std::string& text : FormulaFile::Formulas(content)) {
            texts_.push_back(text);
        }
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

// One calculation: the lines come in formula order, an asynchronous result's line once it has
// come; then the events of its end (or cancel, when a result did not come in time) fire.
void XlHost::Evaluate(const std::vector<Expression>& formulas) {
    FormulaEvaluator evaluator(excel_, options_.asyncTimeout);
    ResultLines lines(evaluator, options_.asyncTimeout, std::cout, &XlHost::Fail);
    for (std::size_t i = 0; i < formulas.size(); ++i) {
        const std::string formula = "formula \"" + texts_[i] + "\"";
        CrashGuard::SetActivity(formula);
        excel_.Workbook().SetCallerRow(static_cast<int>(i)); // formula i lives in cell A(i+1)
        Evaluation evaluation = evaluator.Evaluate(formulas[i]);
        excel_.Workbook().ClearCaller();
        for (const std::string& failure : evaluation.failures) {
            Fail("cannot evaluate \"" + texts_[i] + "\": " + failure);
        }
        lines.Add(texts_[i], evaluation);
        CrashGuard::SetActivity(
            (evaluation.result.dllFreeExcel12 ? "xlAutoFree12 of " : "xlAutoFree of ") + formula);
        evaluator.Release(evaluation);
    }
    CrashGuard::SetActivity("a thread of its own"); // the add-in's, answering asynchronously
    const bool ended = lines.Finish();
    if (!formulas.empty()) {
        FireEvent(ended ? xlstandin::xleventCalculationEnded
                        : xlstandin::xleventCalculationCanceled);
    }
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
    if (!FormulaParser::Parse(text, formula, reason)) {
        return false;
    }
    FormulaEvaluator evaluator(excel_, options_.asyncTimeout);
    Evaluation outer;
    value = evaluator.ArgumentValue(formula, outer);
    return outer.failures.empty() && !outer.timedOut;
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
