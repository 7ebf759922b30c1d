#include "ExcelStandIn.h"

#include "CallbackEntries.h"
#include "Coercion.h"
#include "UnicodeText.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>

#ifndef _WIN32
#include <Win32Compat.h>
#endif

namespace xlstandin {

namespace {

const char* const xlCallName = "XLCALL32.DLL";

// The functions played and how many records each takes; a most of -1 is as many as the layout
// allows.
struct Played {
    int function;
    const char* name;
    int least;
    int most;
};

constexpr Played playedFunctions[] = {
    {xlFree, "xlFree", 1, -1},
    {xlCoerce, "xlCoerce", 1, 2},
    {xlAbort, "xlAbort", 0, 1},
    {xlGetHwnd, "xlGetHwnd", 0, 0},
    {xlGetName, "xlGetName", 0, 0},
    {xlcMessage, "xlcMessage", 1, 2},
    {xlfRegister, "xlfRegister", 3, -1},
    {xlfUnregister, "xlfUnregister", 1, 1},
    {xlfRegisterId, "xlfRegisterId", 2, 3},
    {xlfGetWorkspace, "xlfGetWorkspace", 1, 1},
    {xlfCaller, "xlfCaller", 0, 0},
    {xlSheetId, "xlSheetId", 0, 1},
    {xlSheetNm, "xlSheetNm", 1, 1},
    {xlfSetName, "xlfSetName", 1, 2},
    {xlfEvaluate, "xlfEvaluate", 1, 1},
    {xlGetInst, "xlGetInst", 0, 0},
    {xlGetInstPtr, "xlGetInstPtr", 0, 0},
    {xlStack, "xlStack", 0, 0},
    {xlEventRegister, "xlEventRegister", 2, 2},
};

// Callbacks Excel 2010 (version 14) introduced.
bool IsFromExcel14(int xlfn) {
    return xlfn == xlGetInstPtr || xlfn == xlEventRegister;
}

const Played* FindPlayed(int xlfn) {
    for (const Played& played : playedFunctions) {
        if (played.function == xlfn) {
            return &played;
        }
    }
    return nullptr;
}

thread_local bool onCalculationThread = false;
thread_local bool inThreadSafeFunction = false;

// Callbacks Excel answers for a thread-safe function on a calculation thread, whatever their
// arguments; xlAbort only when it keeps the break.
bool IsThreadSafeCallback(int xlfn) {
    switch (xlfn) {
    case xlFree:
    case xlCoerce:
    case xlStack:
    case xlSheetId:
    case xlSheetNm:
    case xlGetInst:
    case xlGetInstPtr:
    case xlGetHwnd:
    case xlfCaller:
    case xlfEvaluate:
        return true;
    default:
        return false;
    }
}

bool IsThreadSafe(const Registration& function) {
    return function.typeText.find('$') != std::string::npos;
}

// Marks the calling thread as running a thread-safe function for as long as it lives.
class ThreadSafeCall {
public:
    explicit ThreadSafeCall(bool threadSafe) : previous_(inThreadSafeFunction) {
        inThreadSafeFunction = threadSafe;
    }
    ~ThreadSafeCall() { inThreadSafeFunction = previous_; }
    ThreadSafeCall(const ThreadSafeCall&) = delete;
    ThreadSafeCall& operator=(const ThreadSafeCall&) = delete;

private:
    bool previous_;
};

bool IsValueType(DWORD type) {
    switch (type) {
    case xltypeNum:
    case xltypeStr:
    case xltypeBool:
    case xltypeRef:
    case xltypeErr:
    case xltypeMulti:
    case xltypeMissing:
    case xltypeNil:
    case xltypeSRef:
    case xltypeInt:
        return true;
    default:
        return false;
    }
}

} // namespace

ExcelStandIn::CalculationThread::CalculationThread() : previous_(onCalculationThread) {
    onCalculationThread = true;
}

ExcelStandIn::CalculationThread::~CalculationThread() {
    onCalculationThread = previous_;
}

bool ExcelStandIn::OnCalculationThread() {
    return onCalculationThread;
}

void ExcelStandIn::FailNext(int xlfn, int code) {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    faults_[xlfn] = Fault{code, false};
}

void ExcelStandIn::FailEvery(int xlfn, int code) {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    faults_[xlfn] = Fault{code, true};
}

void ExcelStandIn::ClearFaults() {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    faults_.clear();
}

ExcelStandIn& ExcelStandIn::Instance() {
    // Never destroyed: add-ins may call Excel while the process ends.
    static ExcelStandIn* const instance = new ExcelStandIn();
    return *instance;
}

void ExcelStandIn::Reset(int version) {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    version_ = version;
    versionText_ = std::to_string(version) + ".0";
    faults_.clear();
    calls_.clear();
    callsDropped_ = 0;
    allocations_.Clear();
    windows_.CloseWizard();
    windows_.CloseReplaceDialog();
    statusBarText_.clear();
    statusLog_.clear();
    statusListener_ = nullptr;
    noticeListener_ = nullptr;
    escapePressed_ = false;
    addInName_.clear();
    sheet_.Clear();
    registry_.Clear();
    rejections_.clear();
    autoFreeCalls_ = 0;
    workbook_.Clear();
    async_.Clear();
    workbook_.SetRegisteredIds([this](const std::string& name, double& id) {
        const Registration* found = registry_.Find(name);
        id = found == nullptr ? 0 : found->id;
        return found != nullptr;
    });
    unplayed_.clear();
    traceListener_ = nullptr;
}

std::string ExcelStandIn::FunctionName(int xlfn) {
    const Played* played = FindPlayed(xlfn);
    return played != nullptr ? played->name : "function " + std::to_string(xlfn);
}

void ExcelStandIn::Install() {
    SetXlCallReachable(true);
    SetMdCallBack12Reachable(true);
    windows_.Main();
}

bool ExcelStandIn::SetXlCallReachable(bool reachable) {
    xlCallReachable_ = reachable;
#ifdef _WIN32
    return reachable || GetModuleHandleA(xlCallName) == nullptr;
#else
    if (reachable) {
        win32compat::RegisterModule(xlCallName,
                                    {{"Excel4", win32compat::AsProc(&Excel4Entry)},
                                     {"Excel4v", win32compat::AsProc(&Excel4vEntry)},
                                     {"XLCallVer", win32compat::AsProc(&XLCallVerEntry)}});
    } else {
        win32compat::UnregisterModule(xlCallName);
    }
    return true;
#endif
}

bool ExcelStandIn::SetMdCallBack12Reachable(bool reachable) {
#ifdef _WIN32
    return reachable;
#else
    if (reachable) {
        win32compat::SetProcessExport("MdCallBack12", win32compat::AsProc(&MdCallBack12Entry));
    } else {
        win32compat::RemoveProcessExport("MdCallBack12");
    }
    return true;
#endif
}

int ExcelStandIn::FunctionNumber(const std::string& name) {
    for (const Played& played : playedFunctions) {
        if (name == played.name) {
            return played.function;
        }
    }
    return -1;
}

int ExcelStandIn::Excel4v(int xlfn, LPXLOPER result, int count, LPXLOPER args[]) {
    return Dispatch(xlfn, result, count, args, false);
}

int ExcelStandIn::MdCallBack12(int xlfn, int count, LPXLOPER12* args, LPXLOPER12 result) {
    return Dispatch(xlfn, result, count, args, true);
}

CallResult ExcelStandIn::Call(const std::string& functionText,
                              const std::vector<HostValue>& arguments) {
    Registration function;
    {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        const Registration* found = registry_.Find(functionText);
        if (found == nullptr) {
            return CallResult{HostValue::Error(xlerrName), false, false};
        }
        function = *found; // the function may register others meanwhile
    }
    const ThreadSafeCall running(IsThreadSafe(function));
    CellArea caller{};
    const bool inFormula = workbook_.CallerCell(caller);
    CallResult result = FunctionInvoker(sheet_, allocations_, async_, inFormula ? &caller : nullptr)
                            .Invoke(function, arguments);
    if (result.dllFreeRecord != nullptr) {
        result.module = GetModuleHandleA(function.module.c_str());
    }
    return result;
}

void ExcelStandIn::Release(CallResult& result) {
    if (result.dllFreeRecord == nullptr) {
        return;
    }
    void* const record = result.dllFreeRecord;
    result.dllFreeRecord = nullptr;
    const char* const name = result.dllFreeExcel12 ? "xlAutoFree12" : "xlAutoFree";
    const FARPROC autoFree =
        result.module == nullptr ? nullptr : GetProcAddress(result.module, name);
    if (autoFree == nullptr) {
        Notify(std::string("a result marked xlbitDLLFree stays unfreed: the add-in exports no ") +
               name);
        return;
    }
    ++autoFreeCalls_;
    reinterpret_cast<void(__stdcall*)(void*)>(reinterpret_cast<void (*)()>(autoFree))(record);
}

template <typename Record>
bool ExcelStandIn::RefusedToThreadSafe(int xlfn, int count, Record** args) {
    if (!onCalculationThread || !inThreadSafeFunction || IsThreadSafeCallback(xlfn)) {
        return false;
    }
    if (xlfn != xlAbort) {
        return true;
    }
    HostValue keep;
    return count == 0 || args == nullptr || args[0] == nullptr ||
           !RecordCodec<Record>::Read(*args[0], keep) ||
           !(keep.Is(HostValue::Kind::Boolean) || keep.Is(HostValue::Kind::Number)) ||
           keep.AsNumber() == 0;
}

template <typename Record>
int ExcelStandIn::Dispatch(int xlfn, Record* result, int count, Record** args, bool excel12) {
    if (xlfn == xlAsyncReturn && version_ >= 14) {
        // May come from any thread: touches nothing but the asynchronous calls, which lock.
        return AsyncReturn(result, count, args);
    }
    std::lock_guard<std::recursive_mutex> guard(lock_);
    int code = xlretSuccess;
    if (RefusedToThreadSafe(xlfn, count, args)) {
        code = xlretNotThreadSafe;
    } else if (excel12 && version_ < 12) {
        // Excel before 2007 has no Excel12 entry; the add-in's glue answers a failure.
        code = xlretFailed;
    } else if (!TakeFault(xlfn, code)) {
        code = Respond(xlfn, result, count, args, excel12);
    }
    LogCall(CallbackCall{xlfn, excel12, count, code});
    if (traceListener_) {
        traceListener_(calls_.back());
    }
    return code;
}

void ExcelStandIn::LogCall(const CallbackCall& call) {
    if (calls_.size() == CallLogLimit) {
        const std::size_t dropped = CallLogLimit / 2;
        calls_.erase(calls_.begin(), calls_.begin() + static_cast<std::ptrdiff_t>(dropped));
        callsDropped_ += dropped;
    }
    calls_.push_back(call);
}

bool ExcelStandIn::TakeFault(int xlfn, int& code) {
    const auto found = faults_.find(xlfn);
    if (found == faults_.end()) {
        return false;
    }
    code = found->second.code;
    if (!found->second.every) {
        faults_.erase(found);
    }
    return true;
}

template <typename Record>
int ExcelStandIn::Respond(int xlfn, Record* result, int count, Record** args, bool excel12) {
    const RecordLimits limits = RecordCodec<Record>::Limits();
    const Played* played = FindPlayed(xlfn);
    if (played == nullptr || (IsFromExcel14(xlfn) && version_ < 14)) {
        ++unplayed_[xlfn];
        return xlretInvXlfn;
    }
    if (count < played->least || count > (played->most < 0 ? limits.maxArguments : played->most)) {
        return xlretInvCount;
    }
    for (int i = 0; i < count; ++i) {
        if (args == nullptr || args[i] == nullptr) {
            return xlretInvXloper;
        }
    }
    if (xlfn == xlFree) {
        return Free(count, args);
    }
    std::vector<HostValue> values(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (!RecordCodec<Record>::Read(*args[i], values[i])) {
            return xlretInvXloper;
        }
    }
    Answer answer;
    const int code = Handle(xlfn, values, limits, excel12, answer);
    if (code == xlretSuccess && result != nullptr) {
        WriteResult(answer, *result);
    }
    return code;
}

// Records that carry contents give them back; plain values have nothing to give back. As Excel
// does, the record's pointer to its contents is set to null; the contents are overwritten before
// they go, so that a value read after its free shows also where no sanitizer watches the heap.
// A free the stand-in reports (of memory it never gave out or gave back already) leaves the
// record as it was.
template <typename Record> int ExcelStandIn::Free(int count, Record** args) {
    for (int i = 0; i < count; ++i) {
        Record& record = *args[i];
        const DWORD type = RecordCodec<Record>::ValueType(record);
        if (!IsValueType(type)) {
            allocations_.NoteInvalid(record.xltype);
        } else if (RecordCodec<Record>::Contents(record) != nullptr &&
                   allocations_.Release(type, RecordCodec<Record>::Contents(record))) {
            RecordCodec<Record>::ClearContents(record);
        }
    }
    return xlretSuccess;
}

namespace {

template <typename Record> bool IsHandle(const Record& record) {
    return RecordCodec<Record>::ValueType(record) == xltypeBigData;
}

template <typename Record> AsyncCalls::Handle HandleOf(const Record& record) {
    return reinterpret_cast<AsyncCalls::Handle>(record.val.bigdata.h.hdata);
}

// The elements of an array record, or 0 for any other record.
template <typename Record> std::size_t ArrayElements(const Record& record) {
    if (RecordCodec<Record>::ValueType(record) != xltypeMulti ||
        record.val.array.lparray == nullptr) {
        return 0;
    }
    return static_cast<std::size_t>(record.val.array.rows) * record.val.array.columns;
}

// xlAsyncReturn's two forms: a handle and its value, or an array of handles and one of their
// values in the same order.
template <typename Record>
bool ReadAsyncValues(const Record& handles, const Record& values,
                     std::vector<AsyncCalls::Handle>& handlesRead,
                     std::vector<HostValue>& valuesRead) {
    if (IsHandle(handles)) {
        valuesRead.emplace_back();
        handlesRead.push_back(HandleOf(handles));
        return RecordCodec<Record>::Read(values, valuesRead.back());
    }
    const std::size_t count = ArrayElements(handles);
    if (count == 0 || count != ArrayElements(values)) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        valuesRead.emplace_back();
        if (!IsHandle(handles.val.array.lparray[i]) ||
            !RecordCodec<Record>::Read(values.val.array.lparray[i], valuesRead.back())) {
            return false;
        }
        handlesRead.push_back(HandleOf(handles.val.array.lparray[i]));
    }
    return true;
}

} // namespace

// The value is copied at once: the add-in frees its memory after the call, as Excel expects.
template <typename Record> int ExcelStandIn::AsyncReturn(Record* result, int count, Record** args) {
    if (count != 2) {
        return xlretInvCount;
    }
    std::vector<AsyncCalls::Handle> handles;
    std::vector<HostValue> values;
    if (args == nullptr || args[0] == nullptr || args[1] == nullptr ||
        !ReadAsyncValues(*args[0], *args[1], handles, values)) {
        return xlretInvXloper;
    }
    const int code = async_.Return(handles, values, std::is_same<Record, XLOPER12>::value);
    if (code == xlretSuccess && result != nullptr) {
        result->xltype = xltypeBool;
        result->val.xbool = 1;
    }
    return code;
}

template <typename Record> void ExcelStandIn::WriteResult(const Answer& answer, Record& result) {
    if (answer.handle != nullptr) {
        result.xltype = xltypeBigData;
        result.val.bigdata.h.hdata = answer.handle;
        result.val.bigdata.cbData = 0;
        return;
    }
    if (answer.asInt) {
        RecordCodec<Record>::WriteInt(static_cast<long>(answer.value.AsNumber()), result);
        return;
    }
    ResultMemory memory;
    RecordCodec<Record>::Write(answer.value, result, memory);
    if (!memory.Empty()) {
        allocations_.Track(RecordCodec<Record>::Contents(result), std::move(memory));
    }
}

int ExcelStandIn::Handle(int xlfn, const std::vector<HostValue>& args, const RecordLimits& limits,
                         bool excel12, Answer& answer) {
    switch (xlfn) {
    case xlCoerce:
        return Coerce(args, limits, answer);
    case xlAbort:
        return Abort(args, limits, answer);
    case xlGetHwnd:
        return GetHwnd(excel12, answer);
    case xlGetName:
        answer = Answer{HostValue::Text(addInName_)};
        return xlretSuccess;
    case xlcMessage:
        return Message(args, limits, answer);
    case xlfRegister:
        return Register(args, excel12, answer);
    case xlfUnregister:
        return Unregister(args, limits, answer);
    case xlfRegisterId:
        return RegisterId(args, excel12, answer);
    case xlfGetWorkspace:
        return GetWorkspace(args, limits, answer);
    default:
        return HandleWorkbook(xlfn, args, excel12, answer);
    }
}

int ExcelStandIn::HandleWorkbook(int xlfn, const std::vector<HostValue>& args, bool excel12,
                                 Answer& answer) {
    switch (xlfn) {
    case xlfCaller:
        return workbook_.Caller(answer);
    case xlSheetId:
        return workbook_.SheetId(args, sheet_, answer);
    case xlSheetNm:
        return workbook_.SheetName(args, sheet_, answer);
    case xlfSetName:
        return workbook_.SetName(args, answer);
    case xlfEvaluate:
        return workbook_.Evaluate(args, answer);
    case xlGetInst:
        return workbook_.GetInst(excel12, answer);
    case xlGetInstPtr:
        return workbook_.GetInstPtr(answer);
    case xlStack:
        return workbook_.Stack(excel12, answer);
    default:
        return workbook_.EventRegister(args, answer);
    }
}

// The optional second record holds the wanted types as a bit set.
int ExcelStandIn::Coerce(const std::vector<HostValue>& args, const RecordLimits& limits,
                         Answer& answer) const {
    DWORD types = Coercion::AnyValue;
    if (args.size() > 1 && !args[1].Is(HostValue::Kind::Missing)) {
        const double wanted = args[1].AsNumber();
        if (!args[1].Is(HostValue::Kind::Number) || !(wanted >= 1 && wanted <= 0xFFFF)) {
            return xlretFailed;
        }
        types = static_cast<DWORD>(wanted);
    }
    return Coercion(sheet_, limits).Convert(args[0], types, answer) ? xlretSuccess : xlretFailed;
}

int ExcelStandIn::Abort(const std::vector<HostValue>& args, const RecordLimits& limits,
                        Answer& answer) {
    bool retain = false;
    if (!args.empty() && !Coercion(sheet_, limits).ToBoolean(args[0], retain)) {
        return xlretFailed;
    }
    answer = Answer{HostValue::Boolean(escapePressed_)};
    if (!retain) {
        escapePressed_ = false;
    }
    return xlretSuccess;
}

int ExcelStandIn::GetHwnd(bool excel12, Answer& answer) {
    const auto handle = reinterpret_cast<std::uintptr_t>(windows_.Main());
    const long value = excel12 ? static_cast<long>(static_cast<std::int32_t>(handle))
                               : static_cast<long>(static_cast<std::int16_t>(handle & 0xFFFF));
    answer = Answer{HostValue::Number(static_cast<double>(value)), true};
    return xlretSuccess;
}

int ExcelStandIn::Message(const std::vector<HostValue>& args, const RecordLimits& limits,
                          Answer& answer) {
    const Coercion coercion(sheet_, limits);
    bool show = false;
    std::u16string text;
    if (!coercion.ToBoolean(args[0], show) ||
        (show && args.size() > 1 && !coercion.ToText(args[1], text))) {
        return xlretFailed;
    }
    // The status bar shows a text as a C string: up to its first NUL.
    text.erase(std::min(text.find(u'\0'), text.size()));
    statusBarText_ = show ? UnicodeText::ToUtf8(text) : std::string();
    statusLog_.push_back(StatusMessage{show, statusBarText_});
    if (statusListener_) {
        statusListener_(statusLog_.back());
    }
    answer = Answer{HostValue::Boolean(true)};
    return xlretSuccess;
}

namespace {

// The function text if the registration has one, otherwise the procedure.
std::string RegisteredName(const std::vector<HostValue>& args) {
    for (std::size_t index : {3u, 1u}) {
        if (index < args.size() && args[index].Is(HostValue::Kind::Text)) {
            std::string name = UnicodeText::ToUtf8(args[index].AsText());
            name.erase(std::min(name.find('\0'), name.size()));
            if (!name.empty()) {
                return name;
            }
        }
    }
    return "";
}

} // namespace

int ExcelStandIn::Register(const std::vector<HostValue>& args, bool excel12, Answer& answer) {
    std::string reason;
    return AnswerRegistration(
        registry_.Register(args, RegistrationRules{version_, excel12}, reason), reason, args,
        answer);
}

int ExcelStandIn::RegisterId(const std::vector<HostValue>& args, bool excel12, Answer& answer) {
    std::string reason;
    return AnswerRegistration(
        registry_.RegisterId(args, RegistrationRules{version_, excel12}, reason), reason, args,
        answer);
}

// The registration id as a number, or #VALUE! for a refusal (as Excel does), whose reason is
// kept and shown.
int ExcelStandIn::AnswerRegistration(const Registration* found, const std::string& reason,
                                     const std::vector<HostValue>& args, Answer& answer) {
    if (found == nullptr) {
        rejections_.push_back("REGISTER of \"" + RegisteredName(args) + "\" refused: " + reason);
        Notify(rejections_.back());
        answer = Answer{HostValue::Error(xlerrValue)};
    } else {
        answer = Answer{HostValue::Number(found->id)};
    }
    return xlretSuccess;
}

void ExcelStandIn::Notify(const std::string& line) const {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (noticeListener_) {
        noticeListener_(line);
    }
}

int ExcelStandIn::Unregister(const std::vector<HostValue>& args, const RecordLimits& limits,
                             Answer& answer) {
    double id = 0;
    if (!Coercion(sheet_, limits).ToNumber(args[0], id)) {
        answer = Answer{HostValue::Error(xlerrValue)};
    } else {
        answer = Answer{HostValue::Boolean(registry_.Unregister(id))};
    }
    return xlretSuccess;
}

// Of the workspace items only 2, Excel's version, is played.
int ExcelStandIn::GetWorkspace(const std::vector<HostValue>& args, const RecordLimits& limits,
                               Answer& answer) const {
    double item = 0;
    if (!Coercion(sheet_, limits).ToNumber(args[0], item) || item != 2) {
        return xlretFailed;
    }
    answer = Answer{HostValue::Text(versionText_)};
    return xlretSuccess;
}

} // namespace xlstandin
