// The least a worksheet call must cost: exactly the named-mutex cycles, the window search and the
// Excel callbacks the add-in's entry points make, in the same order, with the same text
// conversions and arithmetic, but none of the wrapper layer around them. Records are carved from a
// static block, one mutex cycle per block as the temporary memory takes.
#pragma once

#include "CaseArguments.h"
#include "CaseArithmetic.h"
#include "ExcelLayout.h"

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <string>

template <typename Record> class FloorCall {
public:
    using Layout = ExcelLayout<Record>;
    using Unit = typename Layout::Unit;

    static LPXLFOPER Run(const WorksheetCase& call, Record* first, Record* second) {
        Reset();
        if (WizardIsOpen())
            return Bool(true);
        if (call.TextResult())
            return TextResult(ComputeText(call, Text(first), call.second));
        if (call.ValueArguments() == 0)
            return NumberResult(ComputeNumber(call, std::string(), std::string()));
        const std::string firstText = Text(first);
        const std::string secondText = call.ValueArguments() == 2 ? Text(second) : std::string();
        return NumberResult(ComputeNumber(call, firstText, secondText));
    }

private:
    alignas(8) static inline char block_[1 << 14];
    static inline std::size_t used_ = 0;

    static void MutexCycle() {
        HANDLE mutex = CreateMutexA(nullptr, FALSE, "vornix_mutex");
        WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }

    static void Reset() {
        MutexCycle();
        used_ = 0;
    }

    static void* Memory(std::size_t n) {
        MutexCycle();
        void* start = block_ + used_;
        used_ += (n + 7) / 8 * 8;
        return start;
    }

    static Record* NewRecord() { return static_cast<Record*>(Memory(sizeof(Record))); }

    struct Search {
        WORD excelWindow;
        bool found;
    };

    static BOOL CALLBACK IsWizard(HWND window, LPARAM parameter) {
        auto* search = reinterpret_cast<Search*>(parameter);
        char className[50] = {};
        GetClassNameA(window, className, sizeof(className));
        const int length = lstrlenA(className);
        if (CompareStringA(0x0409, NORM_IGNORECASE, className, length > 11 ? 11 : length,
                           "bosa_sdm_XL", 11) == CSTR_EQUAL &&
            static_cast<WORD>(reinterpret_cast<UINT_PTR>(GetParent(window))) ==
                search->excelWindow) {
            search->found = true;
            return FALSE;
        }
        return TRUE;
    }

    static bool WizardIsOpen() {
        XLOPER window{};
        window.xltype = xltypeNil;
        if (ExcelEntries::excel4(xlGetHwnd, &window, 0) != xlretSuccess)
            return false;
        Search search{static_cast<WORD>(window.val.w), false};
        EnumWindows(&IsWizard, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // The text of a value record: read directly, or coerced by Excel and handed back.
    static std::string Text(Record* argument) {
        if (argument->xltype & xltypeStr)
            return Narrow(argument->val.str);
        Record* wanted = NewRecord();
        wanted->xltype = xltypeInt;
        wanted->val.w = xltypeStr;
        Record coerced{};
        coerced.xltype = xltypeNil;
        Record* args[] = {argument, wanted};
        if (Layout::Call(xlCoerce, &coerced, 2, args) != xlretSuccess)
            return std::string();
        const std::string text = Narrow(coerced.val.str);
        Record* freed[] = {&coerced};
        Layout::Call(xlFree, nullptr, 1, freed);
        return text;
    }

    static std::string Narrow(const Unit* counted) {
        const std::size_t length = static_cast<std::size_t>(counted[0]);
        char* text = static_cast<char*>(Memory(length + 1));
        if constexpr (sizeof(Unit) == 1) {
            for (std::size_t i = 0; i < length; ++i)
                text[i] = counted[i + 1];
        } else {
            wchar_t wide[256];
            for (std::size_t i = 0; i < length; ++i)
                wide[i] = static_cast<wchar_t>(counted[i + 1]);
            wide[length] = L'\0';
            std::wcstombs(text, wide, length);
        }
        text[length] = '\0';
        return text;
    }

    static LPXLFOPER TextResult(const std::string& text) {
        Record* record = NewRecord();
        // The count holds the characters only; a byte text is followed by a NUL outside it.
        const std::size_t counted = text.size();
        Unit* units = static_cast<Unit*>(Memory((counted + 2) * sizeof(Unit)));
        if constexpr (sizeof(Unit) == 1) {
            for (std::size_t i = 0; i < text.size(); ++i)
                units[i + 1] = text[i];
            units[counted + 1] = '\0';
        } else {
            wchar_t wide[256];
            std::mbstowcs(wide, text.c_str(), text.size() + 1);
            for (std::size_t i = 0; i < text.size(); ++i)
                units[i + 1] = static_cast<Unit>(wide[i]);
        }
        units[0] = static_cast<Unit>(counted);
        record->val.str = units;
        record->xltype = xltypeStr;
        return record;
    }

    static LPXLFOPER NumberResult(double value) {
        Record* record = NewRecord();
        if (std::isfinite(value)) {
            record->val.num = value;
            record->xltype = xltypeNum;
        } else {
            record->val.err = xlerrNum;
            record->xltype = xltypeErr;
        }
        return record;
    }

    static LPXLFOPER Bool(bool value) {
        Record* record = NewRecord();
        record->val.xbool = value;
        record->xltype = xltypeBool;
        return record;
    }
};
