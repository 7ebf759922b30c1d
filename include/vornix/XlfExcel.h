#pragma once

#include <vornix/ExcelApi.h>
#include <vornix/XlfTemporaryMemory.h>

#include <memory>
#include <string>

namespace vornix {

// The process-wide gateway to Excel. It loads Excel's callbacks, finds out which Excel is running
// and chooses the matching value implementation, carries every call to Excel and notes results
// whose contents Excel allocated, and hands out the temporary memory in which the library builds
// the values it gives Excel: each thread's own (XlfThreadMemories).
//
// Created by the first Instance(), once even when several threads ask at the same time, and
// deleted at add-in close. If loading Excel's callbacks fails, the object stays the instance and
// every call to Excel through it fails with xlretFailed. If Excel refuses to tell its version
// (it does so to a thread-safe function on a calculation thread), no instance is made and
// Instance() throws std::runtime_error: the records of the running Excel cannot be known, and a
// later call, on Excel's main thread, tries again.
//
// Everything set while the gateway is made (the callbacks, the mode, the type codes, the current
// value implementation) is written before the instance is published and only read afterwards,
// so worksheet calls on several threads read it without a lock.
class XlfExcel {
public:
    static XlfExcel& Instance();
    // The gateway if one exists, without creating one; null otherwise.
    static XlfExcel* Existing();
    ~XlfExcel();
    XlfExcel(const XlfExcel&) = delete;
    XlfExcel& operator=(const XlfExcel&) = delete;

    // Calls Excel with count value records of the running version; the result record may be
    // null. Returns Excel's code unchanged. A successful result holding contents Excel allocated
    // is noted in XlfExcelOwnership, for its wrapper to give back.
    int Call(int xlfn, LPXLFOPER result, int count, ...) const;
    int Callv(int xlfn, LPXLFOPER result, int count, LPXLFOPER args[]) const;
    // Always the Excel 4 entry, with XLOPER records.
    int Call4(int xlfn, LPXLOPER result, int count, ...) const;
    int Call4v(int xlfn, LPXLOPER result, int count, LPXLOPER args[]) const;
    // Always the Excel 12 entry, with XLOPER12 records.
    int Call12(int xlfn, LPXLOPER12 result, int count, ...) const;
    int Call12v(int xlfn, LPXLOPER12 result, int count, LPXLOPER12 args[]) const;

    // xlFree of one record through the entry point already loaded, with or without a gateway
    // (values may outlive it); never creates one. xlretFailed when there is no entry point.
    static int FreeExcelMemory(LPXLOPER record);
    static int FreeExcelMemory(LPXLOPER12 record);

    bool IsExcel12Mode() const { return excel12_; }
    // Registration type letters of the running version.
    std::string OperTypeCode() const { return operTypeCode_; }
    std::string RefTypeCode() const { return refTypeCode_; }
    std::string WideStringTypeCode() const { return wideStringTypeCode_; }

    // The add-in's file name, or "" (with a log line) when Excel does not give it.
    std::string GetName() const;
    // Shows text in Excel's status bar; null clears it.
    void StatusBarMessage(const char* text) const;
    bool IsEscPressed() const;
    bool IsCalledByFunctionWizard() const;
    // A message box; without a caption it reports the last Windows error under "XLL Error".
    void ErrorBox(const char* text, const char* caption = nullptr) const;

    // n bytes of the calling thread's temporary memory, valid until the thread's next reset;
    // never null.
    char* GetMemory(unsigned n);
    // finished == false: reset the calling thread's memory, keeping its newest buffer; true:
    // release every thread's memory.
    void FreeMemory(bool finished = false);
    // The calling thread's memory.
    const XlfTemporaryMemory& Memory() const;
    // The calling thread's memory, for the value operations to carve their records from.
    XlfTemporaryMemory& Memory();

private:
    struct LibraryHolder {
        HMODULE handle = nullptr;
    };

    enum class Version { Excel12, Other, Refused };

    XlfExcel();
    static XlfExcel& Create();
    void InitLibrary();
    static Version AskVersion();
    void ChooseImplementation();

    std::unique_ptr<LibraryHolder> library_;
    bool excel12_ = false;
    bool initialised_ = false;
    std::string operTypeCode_;
    std::string refTypeCode_;
    std::string wideStringTypeCode_;
};

} // namespace vornix
