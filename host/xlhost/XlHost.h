// One run of xlhost: plays Excel for the add-in, opens it, evaluates the formulas, closes it.
#pragma once

#include "ExcelStandIn.h"
#include "Expression.h"
#include "HostOptions.h"

#include <string>
#include <vector>

namespace xlhost {

class XlHost {
public:
    explicit XlHost(const HostOptions& options)
        : options_(options), excel_(xlstandin::ExcelStandIn::Instance()) {}

    // The exit status: 0 when the add-in loaded and xlAutoOpen returned 1, otherwise 1 after
    // one line on standard error saying what failed; a crash in the add-in ends the process
    // with status 2 (CrashGuard). Formulas that do not read fail the run
    // before the add-in is loaded; after a failed xlAutoOpen they are still evaluated, as Excel
    // keeps such an add-in loaded.
    int Run();

private:
    int RunAddIn(const std::vector<Expression>& formulas);
    bool ReadFormulas(std::vector<Expression>& formulas);
    bool ReadFormulaFiles();
    bool PrepareExcel();
    void PrintFunctions() const;
    void Evaluate(const std::vector<Expression>& formulas);

    void FireEvent(int event);
    void PrintUnplayed() const;
    bool EvaluateText(const std::string& text, xlstandin::HostValue& value);

    static void PrintStatus(const xlstandin::StatusMessage& message);
    static void PrintTrace(const xlstandin::CallbackCall& call);
    static void Fail(const std::string& what);

    const HostOptions& options_;
    xlstandin::ExcelStandIn& excel_;
    // The formulas of the command line, then those of the files.
    std::vector<std::string> texts_;
};

} // namespace xlhost
