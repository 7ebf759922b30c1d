#include "WorkbookCallbacks.h"

#include "AsciiText.h"
#include "NumberText.h"
#include "UnicodeText.h"
#include <vornix/ExcelApi.h>

#include <windows.h>

#include <algorithm>

namespace xlstandin {

thread_local int WorkbookCallbacks::callerRow_ = -1;

namespace {

// xlfEvaluate may run functions that evaluate again; Excel stops such recursion early.
constexpr int maxEvaluationDepth = 8;
// Free stack xlStack reports through Excel 12: at most 64 KB, as Excel caps it.
constexpr double stackCap = 65535;

bool TextArgument(const std::vector<HostValue>& args, std::size_t index, std::string& text) {
    if (index >= args.size() || !args[index].Is(HostValue::Kind::Text)) {
        return false;
    }
    text = UnicodeText::ToUtf8(args[index].AsText());
    text.erase(std::min(text.find('\0'), text.size()));
    return true;
}

bool IsOmitted(const std::vector<HostValue>& args, std::size_t index) {
    return index >= args.size() || args[index].Is(HostValue::Kind::Missing) ||
           args[index].Is(HostValue::Kind::Nil);
}

std::uintptr_t Instance() {
    return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
}

} // namespace

void WorkbookCallbacks::Clear() {
    callerRow_ = -1;
    evaluator_ = nullptr;
    findId_ = nullptr;
    names_.clear();
    events_.clear();
    evaluationDepth_ = 0;
}

bool WorkbookCallbacks::CallerCell(CellArea& cell) const {
    if (callerRow_ < 0) {
        return false;
    }
    cell = CellArea{callerRow_, callerRow_, FormulaColumn, FormulaColumn};
    return true;
}

// A worksheet formula's caller is its cell; anything else gets #REF!.
int WorkbookCallbacks::Caller(Answer& answer) const {
    CellArea cell{};
    answer = CallerCell(cell) ? Answer{HostValue::Reference(HostValue::CurrentSheet, {cell})}
                              : Answer{HostValue::Error(xlerrRef)};
    return xlretSuccess;
}

// A sheet named "[Book1]Name" or "Name", or the active sheet when none is named: a reference
// with the sheet's id and no areas.
int WorkbookCallbacks::SheetId(const std::vector<HostValue>& args, const SheetModel& sheets,
                               Answer& answer) const {
    std::uintptr_t sheetId = sheets.CurrentSheet();
    if (!IsOmitted(args, 0)) {
        std::string name;
        if (!TextArgument(args, 0, name)) {
            return xlretInvXloper;
        }
        const std::string book = std::string("[") + BookName + "]";
        if (LowerAscii(name.substr(0, book.size())) == LowerAscii(book)) {
            name.erase(0, book.size());
        }
        if (!sheets.FindSheet(name, sheetId)) {
            return xlretFailed;
        }
    }
    answer = Answer{HostValue::Reference(sheetId, {})};
    return xlretSuccess;
}

// "[Book1]Name" of the sheet a reference points at; id 0 and SRef are the current sheet.
int WorkbookCallbacks::SheetName(const std::vector<HostValue>& args, const SheetModel& sheets,
                                 Answer& answer) const {
    if (!args[0].Is(HostValue::Kind::Reference)) {
        return xlretInvXloper;
    }
    const std::uintptr_t asked = args[0].SheetId();
    const std::string name =
        sheets.SheetName(asked == HostValue::CurrentSheet ? sheets.CurrentSheet() : asked);
    if (name.empty()) {
        return xlretFailed;
    }
    answer =
        Answer{HostValue::Text(UnicodeText::FromUtf8(std::string("[") + BookName + "]" + name))};
    return xlretSuccess;
}

// Defines a hidden name of the add-in, or deletes it when no definition is given.
int WorkbookCallbacks::SetName(const std::vector<HostValue>& args, Answer& answer) {
    std::string name;
    if (!TextArgument(args, 0, name) || name.empty()) {
        answer = Answer{HostValue::Error(xlerrValue)};
        return xlretSuccess;
    }
    const std::string key = LowerAscii(name);
    if (IsOmitted(args, 1)) {
        answer = Answer{HostValue::Boolean(names_.erase(key) != 0)};
    } else {
        names_[key] = args[1];
        answer = Answer{HostValue::Boolean(true)};
    }
    return xlretSuccess;
}

// A plain name is one of the add-in's hidden names or a registered function's text (its
// registration id); anything else is read as a formula.
int WorkbookCallbacks::Evaluate(const std::vector<HostValue>& args, Answer& answer) {
    std::string formula;
    if (!TextArgument(args, 0, formula)) {
        return xlretInvXloper;
    }
    const std::string name = formula.size() > 1 && formula[0] == '=' ? formula.substr(1) : formula;
    const auto named = names_.find(LowerAscii(name));
    double id = 0;
    HostValue value = HostValue::Error(xlerrName);
    if (named != names_.end()) {
        value = named->second;
    } else if (findId_ && findId_(name, id)) {
        value = HostValue::Number(id);
    } else if (name.find('(') != std::string::npos) {
        if (evaluationDepth_ >= maxEvaluationDepth) {
            return xlretStackOvfl;
        }
        ++evaluationDepth_;
        const bool computed = evaluator_ && evaluator_(formula, value);
        --evaluationDepth_;
        if (!computed) {
            value = HostValue::Error(xlerrValue);
        }
    } else if (!NumberText::Parse(name, id)) {
        value = HostValue::Error(xlerrName);
    } else {
        value = HostValue::Number(id);
    }
    answer = Answer{value};
    return xlretSuccess;
}

// The instance handle: its low 16 bits through Excel 4, 32 bits through Excel 12; 64-bit Excel
// answers it through xlGetInstPtr only.
int WorkbookCallbacks::GetInst(bool excel12, Answer& answer) const {
    if (sizeof(void*) > 4) {
        return xlretFailed;
    }
    const std::uintptr_t handle = Instance();
    const long value = excel12 ? static_cast<long>(static_cast<std::int32_t>(handle))
                               : static_cast<long>(static_cast<std::int16_t>(handle & 0xFFFF));
    answer = Answer{HostValue::Number(static_cast<double>(value)), true};
    return xlretSuccess;
}

int WorkbookCallbacks::GetInstPtr(Answer& answer) const {
    answer = Answer{HostValue(), false, reinterpret_cast<void*>(Instance())};
    return xlretSuccess;
}

// Excel 12 reports the free stack up to 64 KB; Excel 4's 16-bit integer wraps it.
int WorkbookCallbacks::Stack(bool excel12, Answer& answer) const {
    double free = stackCap;
#ifdef _WIN32
    ULONG_PTR low = 0;
    ULONG_PTR high = 0;
    GetCurrentThreadStackLimits(&low, &high);
    const auto here = reinterpret_cast<ULONG_PTR>(&low);
    free = std::min(stackCap, static_cast<double>(here - low));
#endif
    const long value =
        excel12 ? static_cast<long>(free)
                : static_cast<long>(static_cast<std::int16_t>(static_cast<std::uint16_t>(free)));
    answer = Answer{HostValue::Number(static_cast<double>(value)), true};
    return xlretSuccess;
}

int WorkbookCallbacks::EventRegister(const std::vector<HostValue>& args, Answer& answer) {
    std::string procedure;
    double event = 0;
    if (!TextArgument(args, 0, procedure) || !args[1].Is(HostValue::Kind::Number)) {
        answer = Answer{HostValue::Number(0), true};
        return xlretSuccess;
    }
    event = args[1].AsNumber();
    events_.push_back(EventRegistration{procedure, static_cast<int>(event)});
    answer = Answer{HostValue::Number(1), true};
    return xlretSuccess;
}

} // namespace xlstandin
