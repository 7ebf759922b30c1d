#include <vornix/XlfExcel.h>

#include "XlfExcelOwnership.h"
#include "XlfLog.h"
#include "XlfOperImpl12.h"
#include "XlfOperImpl4.h"
#include "XlfThreadMemories.h"
#include <vornix/Excel12RecordsDeclaration.h>
#include <vornix/XlfOper.h>

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <ostream>
#include <stdexcept>

namespace vornix {

namespace {

// Written while the gateway is made, under the creation lock; values may give Excel's memory back
// without a gateway, on any thread, so the entry points are atomic.
std::atomic<XlfExcel*> instance{nullptr};
std::mutex creation;
std::atomic<EXCEL4PROC> excel4{nullptr};
std::atomic<EXCEL4VPROC> excel4v{nullptr};

// Excel answered the version question with xlretNotThreadSafe.
class VersionRefused : public std::runtime_error {
public:
    VersionRefused() : std::runtime_error("Excel did not tell its version on this thread") {}
};

// The variadic calls gather at most this many records, as Excel takes.
constexpr int MaxArguments = 255;

template <typename Function> Function ProcAs(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The record pointers of a call, in an array on the stack: calls to Excel are frequent (two per
// coerced argument) and must not touch the heap.
template <typename Record> using Arguments = std::array<Record*, MaxArguments>;

// The count record pointers of a variadic call; the count is one Excel takes.
template <typename Record> void GatherArguments(int count, va_list args, Arguments<Record>& out) {
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<Record*>(va_arg(args, void*));
}

bool IsArgumentCount(int count) {
    return count >= 0 && count <= MaxArguments;
}

// Typed copies of the untyped record pointers of a version-independent call.
template <typename Record> void Typed(int count, LPXLFOPER args[], Arguments<Record>& out) {
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<Record*>(args[i]);
}

// Excel allocated the contents of a successful result holding a text, a reference or an array;
// the wrapper holding it gives them back. Integers are noted as well (xlFree takes them
// harmlessly). A failed call allocated nothing, whatever the record holds.
template <typename Record> void NoteExcelOwned(int code, const Record* result) {
    if (code == xlretSuccess && result != nullptr &&
        (result->xltype & (xltypeStr | xltypeRef | xltypeMulti | xltypeInt)) != 0)
        XlfExcelOwnership::Note(result);
}

// Records going to xlFree no longer hold anything of Excel's afterwards.
template <typename Record> void ForgetFreed(int xlfn, int count, Record* args[]) {
    if (xlfn != xlFree)
        return;
    for (int i = 0; i < count; ++i)
        XlfExcelOwnership::Forget(args[i]);
}

struct WizardSearch {
    WORD excelWindow;
    bool found;
};

// Excel's Replace dialog has the wizard's window class and enters formulas again while it is
// open; its title names it.
bool IsReplaceDialog(HWND window) {
    static const char replace[] = "replace";
    char title[256] = {};
    const int length = GetWindowTextA(window, title, sizeof(title));
    const int wanted = static_cast<int>(sizeof(replace) - 1);
    for (int start = 0; start + wanted <= length; ++start)
        if (CompareStringA(0x0409, NORM_IGNORECASE, title + start, wanted, replace, wanted) ==
            CSTR_EQUAL)
            return true;
    return false;
}

BOOL CALLBACK FindWizardWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WizardSearch*>(parameter);
    static const char wizardClass[] = "bosa_sdm_XL";
    const int wizardLength = static_cast<int>(sizeof(wizardClass) - 1);
    char className[50] = {};
    GetClassNameA(window, className, sizeof(className));
    const int length = lstrlenA(className);
    const int compared = length > wizardLength ? wizardLength : length;
    if (CompareStringA(0x0409, NORM_IGNORECASE, className, compared, wizardClass, wizardLength) ==
            CSTR_EQUAL &&
        static_cast<WORD>(reinterpret_cast<UINT_PTR>(GetParent(window)) & 0xFFFF) ==
            search->excelWindow &&
        !IsReplaceDialog(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

} // namespace

XlfExcel& XlfExcel::Instance() {
    XlfExcel* existing = instance.load(std::memory_order_acquire);
    return existing != nullptr ? *existing : Create();
}

// Two threads making the first call at once: one makes the gateway, the other waits and uses it.
XlfExcel& XlfExcel::Create() {
    std::lock_guard<std::mutex> guard(creation);
    if (XlfExcel* existing = instance.load(std::memory_order_acquire)) {
        return *existing;
    }
    std::unique_ptr<XlfExcel> made(new XlfExcel());
    try {
        made->InitLibrary();
    } catch (const VersionRefused&) {
        throw; // no gateway: the next call asks again
    } catch (...) {
        instance.store(made.release(), std::memory_order_release);
        throw;
    }
    instance.store(made.get(), std::memory_order_release);
    return *made.release();
}

XlfExcel* XlfExcel::Existing() {
    return instance.load(std::memory_order_acquire);
}

XlfExcel::XlfExcel() : library_(new LibraryHolder) {}

// Only the published gateway owns the temporary memory; one that was never published gives none
// back.
XlfExcel::~XlfExcel() {
    XlfExcel* self = this;
    if (instance.compare_exchange_strong(self, nullptr)) {
        XlfThreadMemories::ReleaseAll();
    }
}

char* XlfExcel::GetMemory(unsigned n) {
    return XlfThreadMemories::Current().Get(n);
}

void XlfExcel::FreeMemory(bool finished) {
    if (finished) {
        XlfThreadMemories::ReleaseAll();
    } else {
        XlfThreadMemories::Current().Release(false);
    }
}

const XlfTemporaryMemory& XlfExcel::Memory() const {
    return XlfThreadMemories::Current();
}

XlfTemporaryMemory& XlfExcel::Memory() {
    return XlfThreadMemories::Current();
}

void XlfExcel::InitLibrary() {
    HMODULE handle = LoadLibraryA("XLCALL32.DLL");
    if (handle == nullptr)
        throw std::runtime_error("Could not load library XLCALL32.DLL");
    excel4 = ProcAs<EXCEL4PROC>(GetProcAddress(handle, "Excel4"));
    if (excel4 == nullptr)
        throw std::runtime_error("Could not get address of Excel4 callback");
    excel4v = ProcAs<EXCEL4VPROC>(GetProcAddress(handle, "Excel4v"));
    if (excel4v == nullptr)
        throw std::runtime_error("Could not get address of Excel4v callback");
    const Version version = AskVersion();
    if (version == Version::Refused) {
        throw VersionRefused();
    }
    excel12_ = version == Version::Excel12;
    ChooseImplementation();
    library_->handle = handle;
    initialised_ = true;
}

// Asks Excel 4 style for the version text and has Excel read it as an integer. Excel 12 records
// go to version 12, and to every later one when the add-in declared it wants them. A version
// that cannot be had otherwise counts as not 12: those are the records every version reads.
XlfExcel::Version XlfExcel::AskVersion() {
    XLOPER version{}, number{}, which{}, wantedType{};
    version.xltype = xltypeNil;
    number.xltype = xltypeNil;
    which.xltype = xltypeInt;
    which.val.w = 2;
    wantedType.xltype = xltypeInt;
    wantedType.val.w = xltypeInt;
    const EXCEL4PROC call = excel4;
    const int code = call(xlfGetWorkspace, &version, 1, &which);
    if (code == xlretNotThreadSafe) {
        return Version::Refused;
    }
    if (code != xlretSuccess) {
        return Version::Other;
    }
    call(xlCoerce, &number, 2, &version, &wantedType);
    call(xlFree, nullptr, 1, &version);
    if (number.xltype != xltypeInt) {
        return Version::Other;
    }
    const bool excel12 =
        number.val.w == 12 || (number.val.w > 12 && Excel12RecordsDeclaration::Declared());
    return excel12 ? Version::Excel12 : Version::Other;
}

// Each implementation is made once per process; an existing one does not become current again.
void XlfExcel::ChooseImplementation() {
    if (excel12_) {
        static XlfOperImpl12 impl12;
        operTypeCode_ = "Q";
        refTypeCode_ = "U";
        wideStringTypeCode_ = "C%";
    } else {
        static XlfOperImpl4 impl4;
        operTypeCode_ = "P";
        refTypeCode_ = "R";
        wideStringTypeCode_ = "C";
    }
}

int XlfExcel::Call(int xlfn, LPXLFOPER result, int count, ...) const {
    if (!IsArgumentCount(count))
        return xlretInvCount;
    va_list args;
    va_start(args, count);
    Arguments<void> records;
    GatherArguments(count, args, records);
    va_end(args);
    return Callv(xlfn, result, count, records.data());
}

int XlfExcel::Callv(int xlfn, LPXLFOPER result, int count, LPXLFOPER args[]) const {
    if (!IsArgumentCount(count))
        return xlretInvCount;
    if (excel12_) {
        Arguments<XLOPER12> records;
        Typed(count, args, records);
        return Call12v(xlfn, static_cast<LPXLOPER12>(result), count, records.data());
    }
    Arguments<XLOPER> records;
    Typed(count, args, records);
    return Call4v(xlfn, static_cast<LPXLOPER>(result), count, records.data());
}

int XlfExcel::Call4(int xlfn, LPXLOPER result, int count, ...) const {
    if (!IsArgumentCount(count))
        return xlretInvCount;
    va_list args;
    va_start(args, count);
    Arguments<XLOPER> records;
    GatherArguments(count, args, records);
    va_end(args);
    return Call4v(xlfn, result, count, records.data());
}

int XlfExcel::Call4v(int xlfn, LPXLOPER result, int count, LPXLOPER args[]) const {
    const EXCEL4VPROC call = excel4v.load();
    if (!initialised_ || call == nullptr)
        return xlretFailed;
    ForgetFreed(xlfn, count, args);
    const int code = call(xlfn, result, count, args);
    NoteExcelOwned(code, result);
    return code;
}

int XlfExcel::Call12(int xlfn, LPXLOPER12 result, int count, ...) const {
    if (!IsArgumentCount(count))
        return xlretInvCount;
    va_list args;
    va_start(args, count);
    Arguments<XLOPER12> records;
    GatherArguments(count, args, records);
    va_end(args);
    return Call12v(xlfn, result, count, records.data());
}

int XlfExcel::Call12v(int xlfn, LPXLOPER12 result, int count, LPXLOPER12 args[]) const {
    if (!initialised_)
        return xlretFailed;
    ForgetFreed(xlfn, count, args);
    const int code = Excel12v(xlfn, result, count, args);
    NoteExcelOwned(code, result);
    return code;
}

// Straight to the entry points: values may outlive the gateway, and giving memory back must not
// create one.
int XlfExcel::FreeExcelMemory(LPXLOPER record) {
    XlfExcelOwnership::Forget(record);
    const EXCEL4VPROC call = excel4v.load();
    if (call == nullptr)
        return xlretFailed;
    LPXLOPER args[] = {record};
    return call(xlFree, nullptr, 1, args);
}

int XlfExcel::FreeExcelMemory(LPXLOPER12 record) {
    XlfExcelOwnership::Forget(record);
    LPXLOPER12 args[] = {record};
    return Excel12v(xlFree, nullptr, 1, args);
}

std::string XlfExcel::GetName() const {
    XlfOper name;
    if (Call(xlGetName, name.AsValuePointer(), 0) != xlretSuccess) {
        XlfLog::At(XlfLog::NameUnknown) << "Could not get DLL name" << std::endl;
        return std::string();
    }
    return name.AsString();
}

void XlfExcel::StatusBarMessage(const char* text) const {
    if (text != nullptr) {
        const XlfOper show(true), message(text);
        Call(xlcMessage, nullptr, 2, show.AsValuePointer(), message.AsValuePointer());
    } else {
        const XlfOper clear(false);
        Call(xlcMessage, nullptr, 1, clear.AsValuePointer());
    }
}

bool XlfExcel::IsEscPressed() const {
    XlfOper pressed;
    const XlfOper keepEscape(false);
    Call(xlAbort, pressed.AsValuePointer(), 1, keepEscape.AsValuePointer());
    return pressed.AsBool();
}

// The function wizard is a window of class "bosa_sdm_XL..." owned by Excel's main window, other
// than the Replace dialog.
bool XlfExcel::IsCalledByFunctionWizard() const {
    if (!initialised_ || excel4 == nullptr)
        return false;
    XLOPER window{};
    window.xltype = xltypeNil;
    if (excel4.load()(xlGetHwnd, &window, 0) != xlretSuccess || window.xltype != xltypeInt)
        return false;
    WizardSearch search{static_cast<WORD>(window.val.w), false};
    EnumWindows(FindWizardWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void XlfExcel::ErrorBox(const char* text, const char* caption) const {
    if (text == nullptr)
        text = "";
    if (caption != nullptr) {
        MessageBoxA(nullptr, text, caption, MB_ICONINFORMATION);
        return;
    }
    const DWORD error = GetLastError();
    char* systemText = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                       FORMAT_MESSAGE_FROM_SYSTEM,
                   nullptr, error, 0x0400, reinterpret_cast<LPSTR>(&systemText), 0, nullptr);
    // snprintf cuts a longer text to the buffer.
    char message[256];
    std::snprintf(message, sizeof(message), "%s due to error %d :\n%s", text,
                  static_cast<int>(error), systemText != nullptr ? systemText : "");
    MessageBoxA(nullptr, message, "XLL Error", MB_ICONINFORMATION);
    if (systemText != nullptr)
        LocalFree(systemText);
}

} // namespace vornix
