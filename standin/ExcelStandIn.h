// Excel's side of the add-in callback interface, for tests and for xlhost: one object per
// process that answers Excel4/Excel4v (XLOPER records) and MdCallBack12 (XLOPER12 records) for
// xlFree, xlCoerce, xlAbort, xlGetHwnd, xlGetName, xlcMessage, xlfRegister, xlfRegisterId,
// xlfUnregister, xlfGetWorkspace and the workbook callbacks (WorkbookCallbacks.h), and calls the
// functions add-ins register.
//
// Like Excel, it may be called on several threads at once: every callback is answered under one
// lock, and the function a call runs runs without it. Set-up (Reset, Install, the sheet, the
// listeners) happens before calls start; the logs returned by reference are read once they are
// over.
#pragma once

#include "AllocationTracker.h"
#include "Answer.h"
#include "AsyncCalls.h"
#include "FunctionInvoker.h"
#include "FunctionRegistry.h"
#include "HostValue.h"
#include "RecordCodec.h"
#include "SheetModel.h"
#include "StandInWindows.h"
#include "WorkbookCallbacks.h"
#include <vornix/ExcelApi.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace xlstandin {

// One xlcMessage: a text shown in the status bar, or the bar cleared (shown false, no text).
struct StatusMessage {
    bool shown;
    std::string text;

    bool operator==(const StatusMessage& other) const {
        return shown == other.shown && text == other.text;
    }
};

// One call that reached the stand-in through either entry, with the code it returned.
struct CallbackCall {
    int function;
    bool excel12; // through MdCallBack12 rather than Excel4/Excel4v
    int count;
    int code;
};

class ExcelStandIn {
public:
    static ExcelStandIn& Instance();

    ExcelStandIn(const ExcelStandIn&) = delete;
    ExcelStandIn& operator=(const ExcelStandIn&) = delete;

    // --- Set-up ---------------------------------------------------------------------------
    // Forgets all state (registrations, sheet, status bar, faults, outstanding memory) and
    // plays Excel of the given major version: xlfGetWorkspace(2) answers "N.0". The library
    // runs Excel 12 records when that text reads as 12 and Excel 4 records otherwise; both
    // entries answer whatever the version.
    void Reset(int version = 12);
    // Puts XLCALL32.DLL and MdCallBack12 in reach and creates the main window.
    void Install();
    void SetVersionText(const std::string& text) { versionText_ = text; }
    int Version() const { return version_; }
    const std::string& VersionText() const { return versionText_; }

    // --- Reach of the entry points --------------------------------------------------------
    // Natively these add or remove the entries in the Win32 stand-in's tables. On Windows a
    // loaded DLL cannot be taken from a process: out of reach, XLCALL32.DLL refuses to load
    // (its DllMain asks RefuseXlCallEntry), which keeps it from anyone who loads it from then
    // on, provided it is not loaded at that moment. MdCallBack12 is an export of the
    // executable and stays. Each returns whether the process now is as asked.
    bool SetXlCallReachable(bool reachable);
    bool XlCallReachable() const { return xlCallReachable_; }
    bool SetMdCallBack12Reachable(bool reachable);

    // --- The entries ----------------------------------------------------------------------
    int Excel4v(int xlfn, LPXLOPER result, int count, LPXLOPER args[]);
    int MdCallBack12(int xlfn, int count, LPXLOPER12* args, LPXLOPER12 result);
    // The newest calls, oldest first. The log holds at most CallLogLimit calls: when it is full,
    // its older half is dropped, so that a long run keeps its memory flat.
    static constexpr std::size_t CallLogLimit = 4096;
    const std::vector<CallbackCall>& Calls() const { return calls_; }
    // Every call since the last Reset, the dropped ones included.
    std::size_t CallsRecorded() const { return callsDropped_ + calls_.size(); }
    // The number of a function the stand-in plays, by its name in Excel's SDK ("xlCoerce");
    // -1 for other names.
    static int FunctionNumber(const std::string& name);
    // The SDK name of a function the stand-in plays, "function N" for others.
    static std::string FunctionName(int xlfn);
    // Told of every call as it is answered.
    void SetTraceListener(std::function<void(const CallbackCall&)> listener) {
        traceListener_ = std::move(listener);
    }
    // Calls of functions the stand-in does not play (answered xlretInvXlfn), by number.
    const std::map<int, int>& UnplayedCalls() const { return unplayed_; }

    // --- Fault injection ------------------------------------------------------------------
    // The next call, or every call, of the function returns code without doing anything.
    void FailNext(int xlfn, int code);
    void FailEvery(int xlfn, int code);
    void ClearFaults();

    // --- Multi-threaded recalculation ----------------------------------------------------
    // Marks the calling thread as one of Excel's calculation threads while the object lives.
    // There, a function registered thread-safe ("$") that calls back for anything Excel refuses
    // such functions is answered xlretNotThreadSafe. Allowed: xlFree, xlCoerce, xlStack,
    // xlSheetId, xlSheetNm, xlAbort with TRUE, xlGetInst, xlGetInstPtr, xlGetHwnd, xlfCaller and
    // xlfEvaluate. Refused, besides the XLM information functions, commands and registration:
    // xlAbort that clears the break, xlfSetName, and xlGetName (not among the callbacks Excel
    // names safe; an add-in learns its name on the main thread).
    class CalculationThread {
    public:
        CalculationThread();
        ~CalculationThread();
        CalculationThread(const CalculationThread&) = delete;
        CalculationThread& operator=(const CalculationThread&) = delete;

    private:
        bool previous_;
    };
    static bool OnCalculationThread();

    // --- Memory handed out ----------------------------------------------------------------
    // Results with texts, arrays or references not yet given back through xlFree.
    std::size_t OutstandingAllocations() const { return allocations_.Outstanding(); }
    const std::vector<FreeProblem>& FreeProblems() const { return allocations_.Problems(); }
    std::vector<FreeProblem> TakeFreeProblems() { return allocations_.TakeProblems(); }
    // What went wrong with the memory handed out, in one line; empty when nothing did.
    std::string MemorySummary() const { return allocations_.Summary(); }

    // --- Windows --------------------------------------------------------------------------
    // xlGetHwnd answers the main window's handle: its low 16 bits through Excel4 (an XLOPER
    // integer has 16), all 32 bits through MdCallBack12, as Excel 2007 does.
    HWND MainWindow() { return windows_.Main(); }
    void OpenFunctionWizard(const std::string& className = StandInWindows::WizardClass) {
        windows_.OpenWizard(className);
    }
    void CloseFunctionWizard() { windows_.CloseWizard(); }
    HWND FunctionWizardWindow() const { return windows_.Wizard(); }
    // Excel's Replace dialog: the wizard's window class, the title "Replace", owned by the main
    // window. Excel enters formulas again while it is open.
    void OpenReplaceDialog() { windows_.OpenReplaceDialog(); }
    void CloseReplaceDialog() { windows_.CloseReplaceDialog(); }
    HWND ReplaceDialogWindow() const { return windows_.ReplaceDialog(); }

    // --- Status bar, Escape key, add-in name ----------------------------------------------
    const std::string& StatusBarText() const { return statusBarText_; }
    const std::vector<StatusMessage>& StatusLog() const { return statusLog_; }
    // Told of each message as it arrives, for hosts that show them in order with other output.
    void SetStatusListener(std::function<void(const StatusMessage&)> listener) {
        statusListener_ = std::move(listener);
    }
    // Told of what the stand-in refuses or cannot do (a registration refused, a call it cannot
    // make), one line each without an end of line, as it happens.
    void SetNoticeListener(std::function<void(const std::string&)> listener) {
        noticeListener_ = std::move(listener);
    }
    // xlAbort answers this; a call with FALSE (or no argument) also clears it, as in Excel.
    void SetEscapePressed(bool pressed) { escapePressed_ = pressed; }
    bool EscapePressed() const { return escapePressed_; }
    // xlGetName's answer: the add-in's module file name.
    void SetAddInName(const std::string& fileName) { addInName_ = fileName; }

    // --- Cells that references point at ---------------------------------------------------
    SheetModel& Sheet() { return sheet_; }
    // The caller cell, hidden names, events and formula evaluation xlfEvaluate uses.
    WorkbookCallbacks& Workbook() { return workbook_; }

    // --- Registered functions -------------------------------------------------------------
    // xlfRegister answers the registration id as a number, or #VALUE! when it refuses the
    // registration (as Excel does); RegistrationRejections keeps one line for each refusal:
    // REGISTER of "NAME" refused: REASON. Each registration of a procedure counts one use,
    // xlfUnregister takes one back, and the function is gone at zero; xlfRegisterId answers the
    // id of a registered procedure without counting.
    const std::vector<Registration>& Registrations() const { return registry_.All(); }
    const Registration* FindFunction(const std::string& functionText) const {
        return registry_.Find(functionText);
    }
    const std::vector<std::string>& RegistrationRejections() const { return rejections_; }
    // Calls a registered function the way a formula does; a name no registration has answers
    // #NAME? without a call.
    CallResult Call(const std::string& functionText, const std::vector<HostValue>& arguments);
    // Done with a call's result: one marked xlbitDLLFree goes to the add-in's xlAutoFree12 or
    // xlAutoFree, once (a notice when the add-in exports neither).
    void Release(CallResult& result);
    // Results handed back to the add-in through xlAutoFree12 or xlAutoFree.
    int AutoFreeCalls() const { return autoFreeCalls_.load(); }
    // Calls of asynchronous functions waiting for xlAsyncReturn, which any thread may make.
    AsyncCalls& Async() { return async_; }

#ifndef _WIN32
    // Natively the main window can be given any handle value (0: any), for example one whose
    // low word is 0x8000 or more; Windows chooses real handles itself.
    void SetMainWindowHandleValue(UINT_PTR handleValue) {
        windows_.RecreateMain(handleValue);
    }
#endif

private:
    struct Fault {
        int code;
        bool every;
    };

    ExcelStandIn() = default;

    template <typename Record>
    int Dispatch(int xlfn, Record* result, int count, Record** args, bool excel12);
    template <typename Record>
    int Respond(int xlfn, Record* result, int count, Record** args, bool excel12);
    template <typename Record> int Free(int count, Record** args);
    template <typename Record> int AsyncReturn(Record* result, int count, Record** args);
    template <typename Record> void WriteResult(const Answer& answer, Record& result);

    bool TakeFault(int xlfn, int& code);
    template <typename Record> static bool RefusedToThreadSafe(int xlfn, int count, Record** args);
    void LogCall(const CallbackCall& call);
    int Handle(int xlfn, const std::vector<HostValue>& args, const RecordLimits& limits,
               bool excel12, Answer& answer);
    int Coerce(const std::vector<HostValue>& args, const RecordLimits& limits,
               Answer& answer) const;
    int Abort(const std::vector<HostValue>& args, const RecordLimits& limits, Answer& answer);
    int GetHwnd(bool excel12, Answer& answer);
    int Message(const std::vector<HostValue>& args, const RecordLimits& limits, Answer& answer);
    int Register(const std::vector<HostValue>& args, bool excel12, Answer& answer);
    int RegisterId(const std::vector<HostValue>& args, bool excel12, Answer& answer);
    int AnswerRegistration(const Registration* found, const std::string& reason,
                           const std::vector<HostValue>& args, Answer& answer);
    void Notify(const std::string& line) const;
    int Unregister(const std::vector<HostValue>& args, const RecordLimits& limits, Answer& answer);
    int GetWorkspace(const std::vector<HostValue>& args, const RecordLimits& limits,
                     Answer& answer) const;
    int HandleWorkbook(int xlfn, const std::vector<HostValue>& args, bool excel12, Answer& answer);

    int version_ = 12;
    std::string versionText_ = "12.0";
    bool xlCallReachable_ = true;
    std::map<int, Fault> faults_;
    std::vector<CallbackCall> calls_;
    std::size_t callsDropped_ = 0;
    AllocationTracker allocations_;
    StandInWindows windows_;
    std::string statusBarText_;
    std::vector<StatusMessage> statusLog_;
    std::function<void(const StatusMessage&)> statusListener_;
    std::function<void(const std::string&)> noticeListener_;
    bool escapePressed_ = false;
    std::string addInName_;
    SheetModel sheet_;
    FunctionRegistry registry_;
    std::vector<std::string> rejections_;
    std::atomic<int> autoFreeCalls_{0};
    mutable std::recursive_mutex lock_;
    WorkbookCallbacks workbook_;
    AsyncCalls async_;
    std::map<int, int> unplayed_;
    std::function<void(const CallbackCall&)> traceListener_;
};

} // namespace xlstandin
