// The callbacks add-ins use to learn where they are and to keep names: xlfCaller, xlSheetId,
// xlSheetNm, xlfSetName, xlfEvaluate, xlGetInst, xlGetInstPtr, xlStack and xlEventRegister, as
// Excel's C API documentation describes them, on a workbook "Book1" with the sheets of the
// sheet model.
#pragma once

#include "Answer.h"
#include "HostValue.h"
#include "SheetModel.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace xlstandin {

// Function numbers of these callbacks (the others are in ExcelApi.h).
constexpr int xlfSetName = 88;
constexpr int xlfCaller = 89;
constexpr int xlfEvaluate = 257;
constexpr int xlEventRegister = 17 | 0x4000;
constexpr int xlGetInstPtr = 19 | 0x4000;
// The events xlEventRegister takes: a calculation ended, or was cancelled.
constexpr int xleventCalculationEnded = 1;
constexpr int xleventCalculationCanceled = 2;

// An xlEventRegister call: the procedure to run and the event number.
struct EventRegistration {
    std::string procedure;
    int event;
};

class WorkbookCallbacks {
public:
    static constexpr const char* BookName = "Book1";
    // The formulas live in the last column of Excel 4's grid (IV) of the first sheet, formula N
    // in row N: a column that XLOPER references reach too, far from the cells people fill.
    static constexpr int FormulaColumn = 255;

    // Reads a formula text as a cell entry ("=" optional) and computes it; false when it cannot.
    using Evaluator = std::function<bool(const std::string& formula, HostValue& value)>;

    // The cell whose formula is being computed (zero-based row in the formulas' column of the
    // first sheet), or none.
    void SetCallerRow(int row) { callerRow_ = row; }
    void ClearCaller() { callerRow_ = -1; }
    // The formula's cell, or false outside formulas.
    bool CallerCell(CellArea& cell) const;
    void SetEvaluator(Evaluator evaluator) { evaluator_ = std::move(evaluator); }
    // Registration ids by function text, for names xlfEvaluate reads.
    void SetRegisteredIds(std::function<bool(const std::string&, double&)> find) {
        findId_ = std::move(find);
    }
    const std::map<std::string, HostValue>& Names() const { return names_; }
    const std::vector<EventRegistration>& Events() const { return events_; }
    void Clear();

    // Each answers as Excel does; the code is Excel's return code.
    int Caller(Answer& answer) const;
    int SheetId(const std::vector<HostValue>& args, const SheetModel& sheets, Answer& answer) const;
    int SheetName(const std::vector<HostValue>& args, const SheetModel& sheets,
                  Answer& answer) const;
    int SetName(const std::vector<HostValue>& args, Answer& answer);
    int Evaluate(const std::vector<HostValue>& args, Answer& answer);
    int GetInst(bool excel12, Answer& answer) const;
    int GetInstPtr(Answer& answer) const;
    int Stack(bool excel12, Answer& answer) const;
    int EventRegister(const std::vector<HostValue>& args, Answer& answer);

private:
    // Each calculation thread evaluates a cell of its own.
    static thread_local int callerRow_;
    Evaluator evaluator_;
    std::function<bool(const std::string&, double&)> findId_;
    std::map<std::string, HostValue> names_; // by lower-case name
    std::vector<EventRegistration> events_;
    int evaluationDepth_ = 0;
};

} // namespace xlstandin
