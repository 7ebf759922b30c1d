// Test-side records built by hand, independent of the stand-in's own conversions, and calls
// through the entries other code reaches: Excel4v of XLCALL32.DLL for XLOPER records and the
// process's MdCallBack12 for XLOPER12 records.
#pragma once

#include <vornix/ExcelApi.h>

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

template <typename Function> Function ProcAs(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// Keeps XLCALL32.DLL loaded while it lives, so that the calls of a test load it once. Each load
// of a DLL built with mingw-w64 takes thread-local storage indexes (its thread library's and the
// C++ runtime's) that its unload never gives back, and a process has 1088 of them: a load for
// every call of the whole suite would run out of them.
class XlCallHold {
public:
    XlCallHold() : module_(LoadLibraryA("XLCALL32.DLL")) {}
    ~XlCallHold() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    XlCallHold(const XlCallHold&) = delete;
    XlCallHold& operator=(const XlCallHold&) = delete;

private:
    HMODULE module_;
};

// Loads XLCALL32.DLL for one call only (unless an XlCallHold keeps it), so that tests may later
// keep it out of reach.
inline int CallExcel4v(int xlfn, XLOPER* result, std::vector<XLOPER*> args) {
    HMODULE module = LoadLibraryA("XLCALL32.DLL");
    if (module == nullptr) {
        return -1;
    }
    const auto excel4v = ProcAs<EXCEL4VPROC>(GetProcAddress(module, "Excel4v"));
    const int code =
        excel4v == nullptr ? -1 : excel4v(xlfn, result, static_cast<int>(args.size()), args.data());
    FreeLibrary(module);
    return code;
}

inline int CallMdCallBack12(int xlfn, XLOPER12* result, std::vector<XLOPER12*> args) {
    const auto callback =
        ProcAs<MDCALLBACK12PROC>(GetProcAddress(GetModuleHandleA(nullptr), "MdCallBack12"));
    return callback == nullptr ? -1
                               : callback(xlfn, static_cast<int>(args.size()), args.data(), result);
}

inline int CallEntry(int xlfn, XLOPER* result, std::vector<XLOPER*> args) {
    return CallExcel4v(xlfn, result, std::move(args));
}
inline int CallEntry(int xlfn, XLOPER12* result, std::vector<XLOPER12*> args) {
    return CallMdCallBack12(xlfn, result, std::move(args));
}

// Owns the records a test passes and the texts they point at.
template <typename Record> class RecordKit {
public:
    using Unit = std::remove_pointer_t<decltype(std::declval<Record>().val.str)>;

    Record* Num(double number) {
        Record& record = New(xltypeNum);
        record.val.num = number;
        return &record;
    }
    Record* Int(int number) {
        Record& record = New(xltypeInt);
        record.val.w = static_cast<decltype(record.val.w)>(number);
        return &record;
    }
    Record* Bool(bool value) {
        Record& record = New(xltypeBool);
        record.val.xbool = value;
        return &record;
    }
    Record* Err(int code) {
        Record& record = New(xltypeErr);
        record.val.err = code;
        return &record;
    }
    Record* Missing() { return &New(xltypeMissing); }
    Record* Nil() { return &New(xltypeNil); }
    // A counted text of exactly these characters, NULs included.
    Record* Str(const std::string& characters) {
        Record& record = New(xltypeStr);
        record.val.str = CountedUnits(characters);
        return &record;
    }
    // A counted text of these code units (each cut to the layout's unit), NULs included.
    Record* StrUnits(const std::vector<std::uint16_t>& units) {
        texts_.emplace_back();
        texts_.back().push_back(static_cast<Unit>(units.size()));
        for (std::uint16_t unit : units) {
            texts_.back().push_back(static_cast<Unit>(unit));
        }
        Record& record = New(xltypeStr);
        record.val.str = texts_.back().data();
        return &record;
    }
    // A single area on the current sheet, zero-based, last row and column included.
    Record* SRef(int rowFirst, int rowLast, int columnFirst, int columnLast) {
        Record& record = New(xltypeSRef);
        record.val.sref.count = 1;
        record.val.sref.ref.rwFirst = static_cast<decltype(record.val.sref.ref.rwFirst)>(rowFirst);
        record.val.sref.ref.rwLast = static_cast<decltype(record.val.sref.ref.rwLast)>(rowLast);
        record.val.sref.ref.colFirst =
            static_cast<decltype(record.val.sref.ref.colFirst)>(columnFirst);
        record.val.sref.ref.colLast =
            static_cast<decltype(record.val.sref.ref.colLast)>(columnLast);
        return &record;
    }
    // A reference on a given sheet with the areas of the given single-area records.
    Record* Ref(DWORD sheetId, const std::vector<Record*>& areas) {
        using MRef = std::remove_pointer_t<decltype(std::declval<Record>().val.mref.lpmref)>;
        using Area = decltype(std::declval<Record>().val.sref.ref);
        const std::size_t bytes = sizeof(MRef) + areas.size() * sizeof(Area);
        blocks_.emplace_back((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t));
        auto* table = reinterpret_cast<MRef*>(blocks_.back().data());
        table->count = static_cast<WORD>(areas.size());
        Area* first = &table->reftbl[0];
        for (std::size_t i = 0; i < areas.size(); ++i) {
            first[i] = areas[i]->val.sref.ref;
        }
        Record& record = New(xltypeRef);
        record.val.mref.lpmref = table;
        record.val.mref.idSheet = sheetId;
        return &record;
    }
    // An array of the given records' copies, row by row.
    Record* Multi(int rows, int columns, const std::vector<Record*>& elements) {
        arrays_.emplace_back();
        for (Record* element : elements) {
            arrays_.back().push_back(*element);
        }
        Record& record = New(xltypeMulti);
        record.val.array.lparray = arrays_.back().data();
        record.val.array.rows = static_cast<decltype(record.val.array.rows)>(rows);
        record.val.array.columns = static_cast<decltype(record.val.array.columns)>(columns);
        return &record;
    }
    Record* Result() { return &New(xltypeMissing); }

private:
    Record& New(DWORD type) {
        records_.emplace_back();
        records_.back().xltype = static_cast<decltype(records_.back().xltype)>(type);
        return records_.back();
    }
    Unit* CountedUnits(const std::string& characters) {
        texts_.emplace_back();
        texts_.back().push_back(static_cast<Unit>(characters.size()));
        for (char c : characters) {
            texts_.back().push_back(static_cast<Unit>(static_cast<unsigned char>(c)));
        }
        return texts_.back().data();
    }

    std::deque<Record> records_;
    std::deque<std::vector<Unit>> texts_;
    std::deque<std::vector<Record>> arrays_;
    std::deque<std::vector<std::max_align_t>> blocks_;
};

inline unsigned UnitValue(char unit) {
    return static_cast<unsigned char>(unit);
}
inline unsigned UnitValue(char16_t unit) {
    return static_cast<std::uint16_t>(unit);
}

// The characters of a counted text record, each unit as one character (units above 0xFF as '?').
template <typename Record> std::string TextOf(const Record& record) {
    std::string text;
    const auto* units = record.val.str;
    for (unsigned i = 1; i <= UnitValue(units[0]); ++i) {
        const unsigned unit = UnitValue(units[i]);
        text.push_back(unit > 0xFF ? '?' : static_cast<char>(unit));
    }
    return text;
}
