#include "XlHost.h"

#include "AddInModule.h"
#include "FormulaEvaluator.h"
#include "FormulaParser.h"
#include "FunctionListing.h"
#include "ResultText.h"

#include <iostream>

namespace xlhost {

int XlHost::Run() {
    std::vector<Expression> formulas;
    if (!ReadFormulas(formulas) || !PrepareExcel()) {
        return 1;
    }
    AddInModule addIn;
    std::string reason;
    if (!addIn.Load(options_.addIn, reason)) {
        Fail(reason);
        return 1;
    }
    excel_.SetAddInName(addIn.FileName());
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
    Evaluate(formulas);
    excel_.CloseFunctionWizard();
    addIn.Close();
    const std::string memory = excel_.MemorySummary();
    if (!memory.empty()) {
        Fail("Excel memory after xlAutoClose: " + memory);
    }
    return opened ? 0 : 1;
}

bool XlHost::ReadFormulas(std::vector<Expression>& formulas) const {
    for (const std::string& text : options_.formulas) {
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
    excel_.SetNoticeListener(&XlHost::Fail);
    return true;
}

void XlHost::PrintFunctions() const {
    for (const xlstandin::Registration& function : excel_.Registrations()) {
        std::cout << FunctionListing::Line(function) << std::endl;
    }
}

void XlHost::Evaluate(const std::vector<Expression>& formulas) {
    FormulaEvaluator evaluator(excel_);
    for (std::size_t i = 0; i < formulas.size(); ++i) {
        Evaluation evaluation = evaluator.Evaluate(formulas[i]);
        for (const std::string& failure : evaluation.failures) {
            Fail("cannot evaluate \"" + options_.formulas[i] + "\": " + failure);
        }
        std::cout << ResultText::Of(evaluation.result, evaluation.wideText) << std::endl;
        evaluator.Release(evaluation);
    }
}

void XlHost::PrintStatus(const xlstandin::StatusMessage& message) {
    std::cerr << "status> " << (message.shown ? message.text : "(cleared)") << std::endl;
}

void XlHost::Fail(const std::string& what) {
    std::cerr << "xlhost: " << what << std::endl;
}

} // namespace xlhost
