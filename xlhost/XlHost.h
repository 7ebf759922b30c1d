// One run of xlhost: plays Excel for the add-in, opens it, evaluates the formulas, closes it.
#pragma once

#include "CaseFile.h"
#include "CellLine.h"
#include "ExcelStandIn.h"
#include "Expression.h"
#include "FormulaEvaluator.h"
#include "HostOptions.h"
#include "ResultLines.h"

#include <functional>
#include <string>
#include <vector>

namespace xlhost {

class XlHost {
public:
    explicit XlHost(const HostOptions& options)
        : options_(options), grid_(SheetGrid::Of(options.excelVersion)),
          excel_(xlstandin::ExcelStandIn::Instance()) {}

    // The exit status: 0 when the add-in loaded and xlAutoOpen returned 1, otherwise 1 after
    // one line on standard error saying what failed; a crash in the add-in ends the process
    // with status 2 (CrashGuard). Formulas that do not read fail the run
    // before the add-in is loaded; after a failed xlAutoOpen they are still evaluated, as Excel
    // keeps such an add-in loaded. With --check: 0 when every case passed, 1 when one failed
    // or xlAutoOpen returned 0, CouldNotRun when the check could not start.
    int Run();

    static constexpr int CouldNotRun = 3;

private:
    struct Inputs {
        std::vector<CellAssignment> cells;
        // The formulas of the command line and of the files, or the lines of the case file.
        std::vector<CaseLine> lines;
    };
    using ResultUse = std::function<void(const CaseLine& line, const std::string& result)>;

    int RunAddIn(const Inputs& inputs);
    bool ReadInputs(Inputs& inputs) const;
    bool ReadFormulas(std::vector<CaseLine>& lines) const;
    bool ReadCells(std::vector<CellAssignment>& cells) const;
    bool PrepareExcel();
    void PrintFunctions() const;
    void Calculate(const std::vector<CaseLine>& lines, const ResultUse& use);
    // Formula number index, in its row: says why calls could not be made, hands the evaluation
    // to results, then gives the result back.
    void EvaluateOne(FormulaEvaluator& evaluator, ResultLines& results, std::size_t index,
                     const CaseLine& line);
    void FireEvent(int event);
    void CalculateConcurrently(const std::vector<CaseLine>& lines, const ResultUse& use);
    void PrintUnplayed() const;
    bool EvaluateText(const std::string& text, xlstandin::HostValue& value);

    static void PrintStatus(const xlstandin::StatusMessage& message);
    static void PrintTrace(const xlstandin::CallbackCall& call);
    static void Fail(const std::string& what);

    const HostOptions& options_;
    const SheetGrid grid_;
    xlstandin::ExcelStandIn& excel_;
    bool disagreed_ = false; // evaluations of a formula gave different results
};

} // namespace xlhost
