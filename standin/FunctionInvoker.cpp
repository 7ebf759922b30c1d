#include "FunctionInvoker.h"

#include "CountedText.h"
#include "ImplicitIntersection.h"
#include "RecordCodec.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace xlstandin {

namespace {

CallResult NotCalled(int error) {
    return CallResult{HostValue::Error(error), false, false};
}

CallResult Failed(const std::string& why) {
    CallResult result = NotCalled(xlerrValue);
    result.failure = why;
    return result;
}

// Excel converts plain-value arguments with the Excel 12 bounds.
RecordLimits ArgumentLimits() {
    return RecordCodec<XLOPER12>::Limits();
}

// Codes with a "%" and the XLOPER12 records carry Excel 12 texts.
bool IsWide(const std::string& code) {
    return code.size() == 2 || code == "Q" || code == "U";
}

bool IsRecord(char letter) {
    return letter == 'P' || letter == 'Q' || letter == 'R' || letter == 'U';
}

// The integers each integer code holds; beyond them Excel answers #NUM!.
struct IntegerRange {
    double least;
    double most;
};

IntegerRange RangeOf(char letter) {
    switch (letter) {
    case 'H':
        return {0, 65535};
    case 'I':
    case 'M':
        return {-32768, 32767};
    default:
        return {-2147483648.0, 2147483647.0};
    }
}

template <typename T> T* Store(ResultMemory& memory, T value) {
    T* stored = memory.Allocate<T>(1);
    *stored = value;
    return stored;
}

std::intptr_t Address(const void* pointer) {
    return reinterpret_cast<std::intptr_t>(pointer);
}

template <typename Unit>
Unit* WriteText(const std::u16string& text, bool counted, std::size_t bufferUnits,
                ResultMemory& memory) {
    Unit* buffer = memory.Allocate<Unit>(bufferUnits);
    if (counted) {
        CountedText<Unit>::Write(text, buffer);
    } else {
        CountedText<Unit>::WriteTerminated(text, buffer);
    }
    return buffer;
}

template <typename Unit> HostValue ReadText(bool counted, const void* text) {
    const Unit* units = static_cast<const Unit*>(text);
    return HostValue::Text(counted ? CountedText<Unit>::Read(units)
                                   : CountedText<Unit>::ReadTerminated(units));
}

// Rows and columns of a numeric table: 16 bits each for FP and O, 32 bits for FP12 and O%.
std::int64_t ReadExtent(const void* extent, bool wide) {
    return wide ? *static_cast<const std::int32_t*>(extent)
                : *static_cast<const std::uint16_t*>(extent);
}

void WriteExtent(void* extent, bool wide, std::size_t value) {
    if (wide) {
        *static_cast<std::int32_t*>(extent) = static_cast<std::int32_t>(value);
    } else {
        *static_cast<std::uint16_t*>(extent) = static_cast<std::uint16_t>(value);
    }
}

// The numbers of a table row by row; one number stands alone.
HostValue ReadNumbers(std::int64_t rows, std::int64_t columns, const double* numbers) {
    if (rows < 1 || columns < 1 || rows * columns > (1 << 24)) {
        return HostValue::Error(xlerrValue);
    }
    std::vector<HostValue> elements;
    for (std::int64_t i = 0; i < rows * columns; ++i) {
        elements.push_back(HostValue::Number(numbers[i]));
    }
    if (elements.size() == 1) {
        return elements[0];
    }
    return HostValue::Array(static_cast<int>(rows), static_cast<int>(columns), std::move(elements));
}

} // namespace

CallResult FunctionInvoker::Invoke(const Registration& function,
                                   const std::vector<HostValue>& arguments) {
    const std::vector<std::string> codes = function.types.ArgumentTypes();
    const bool asynchronous = function.types.IsAsynchronous();
    const std::size_t taken = codes.size() - (asynchronous ? 1 : 0);
    if (arguments.size() > taken) {
        return Failed(function.functionText + " takes " + std::to_string(taken) + " arguments, " +
                      std::to_string(arguments.size()) + " given");
    }
    CallFrame frame;
    ResultMemory memory; // the arguments' storage, valid for the call
    std::vector<Passed> passed(codes.size());
    XLOPER12* handle = nullptr;
    std::size_t next = 0; // the formula argument the next code takes
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == "X") {
            handle = memory.Allocate<XLOPER12>(1);
            passed[i].code = codes[i];
            frame.AddWord(Address(handle));
            continue;
        }
        const HostValue argument = next < arguments.size() ? arguments[next] : HostValue::Missing();
        ++next;
        int error = xlerrValue;
        if (!Pass(codes[i], argument, frame, memory, passed[i], error)) {
            return NotCalled(error);
        }
    }
    if (handle == nullptr) {
        return Call(function, frame, passed);
    }
    // Only a call that is made gets a handle.
    handle->xltype = xltypeBigData;
    handle->val.bigdata.cbData = 0;
    CallResult result{HostValue::Nil(), true, false};
    result.asyncHandle = async_.Begin();
    handle->val.bigdata.h.hdata = reinterpret_cast<void*>(result.asyncHandle);
    frame.CallReturningWord(function.address);
    return result;
}

bool FunctionInvoker::Pass(const std::string& code, const HostValue& argument, CallFrame& frame,
                           ResultMemory& memory, Passed& passed, int& error) const {
    passed.code = code;
    const char letter = code[0];
    if (letter == 'P' || letter == 'R') {
        PassRecord<XLOPER>(argument, letter == 'P', frame, memory, passed);
        return true;
    }
    if (letter == 'Q' || letter == 'U') {
        PassRecord<XLOPER12>(argument, letter == 'Q', frame, memory, passed);
        return true;
    }
    // Tables take a whole block; the other codes one value.
    HostValue single = argument;
    const bool takesTable = letter == 'K' || letter == 'O';
    HostValue value;
    if ((!takesTable && !ImplicitIntersection::Of(argument, caller_, single)) ||
        !Coercion(sheet_, ArgumentLimits()).Dereference(single, value)) {
        return false;
    }
    if (value.Is(HostValue::Kind::Error)) {
        error = value.AsError();
        return false;
    }
    switch (letter) {
    case 'C':
    case 'D':
    case 'F':
    case 'G':
        return PassText(code, value, frame, memory, passed);
    case 'K':
    case 'O':
        return PassNumbers(code, value, frame, memory, passed);
    default:
        return PassScalar(code, value, frame, memory, passed, error);
    }
}

// Booleans (A, L), numbers (B, E) and integers (H, I, J by value; M, N by pointer).
bool FunctionInvoker::PassScalar(const std::string& code, const HostValue& value, CallFrame& frame,
                                 ResultMemory& memory, Passed& passed, int& error) const {
    const Coercion coercion(sheet_, ArgumentLimits());
    const char letter = code[0];
    if (letter == 'A' || letter == 'L') {
        bool boolean = false;
        if (!coercion.ToBoolean(value, boolean)) {
            return false;
        }
        if (letter == 'A') {
            frame.AddWord(boolean ? 1 : 0);
        } else {
            passed.pointers[0] = Store<std::int16_t>(memory, boolean ? 1 : 0);
            frame.AddWord(Address(passed.pointers[0]));
        }
        return true;
    }
    double number = 0;
    if (!coercion.ToNumber(value, number)) {
        return false;
    }
    if (letter == 'B' || letter == 'E') {
        if (letter == 'B') {
            frame.AddDouble(number);
        } else {
            passed.pointers[0] = Store(memory, number);
            frame.AddWord(Address(passed.pointers[0]));
        }
        return true;
    }
    const double integer = std::trunc(number);
    const IntegerRange range = RangeOf(letter);
    if (!(integer >= range.least && integer <= range.most)) {
        error = xlerrNum;
        return false;
    }
    if (letter == 'M') {
        passed.pointers[0] = Store(memory, static_cast<std::int16_t>(integer));
    } else if (letter == 'N') {
        passed.pointers[0] = Store(memory, static_cast<std::int32_t>(integer));
    }
    frame.AddWord(passed.pointers[0] != nullptr ? Address(passed.pointers[0])
                                                : static_cast<std::intptr_t>(integer));
    return true;
}

// C and D texts end in a NUL or are counted; F and G are the same in a buffer the function
// may write, 256 bytes (32768 code units for F% and G%). Longer texts give #VALUE!.
bool FunctionInvoker::PassText(const std::string& code, const HostValue& value, CallFrame& frame,
                               ResultMemory& memory, Passed& passed) const {
    std::u16string text;
    if (!Coercion(sheet_, ArgumentLimits()).ToText(value, text)) {
        return false;
    }
    const bool wide = IsWide(code);
    const std::size_t most = wide ? CountedText<XCHAR>::MaxLength : CountedText<char>::MaxLength;
    if (text.size() > most) {
        return false;
    }
    const bool counted = code[0] == 'D' || code[0] == 'G';
    const bool writable = code[0] == 'F' || code[0] == 'G';
    const std::size_t units = writable ? most + 1 : text.size() + 1;
    passed.pointers[0] = wide ? static_cast<void*>(WriteText<XCHAR>(text, counted, units, memory))
                              : static_cast<void*>(WriteText<char>(text, counted, units, memory));
    frame.AddWord(Address(passed.pointers[0]));
    return true;
}

// K passes one FP record (FP12 for K%): rows and columns, then the numbers from byte 8 on; O
// (O%) passes pointers to the rows, the columns and the numbers. Every element must be a number.
bool FunctionInvoker::PassNumbers(const std::string& code, const HostValue& value, CallFrame& frame,
                                  ResultMemory& memory, Passed& passed) const {
    const bool isArray = value.Is(HostValue::Kind::Array);
    const std::vector<HostValue> elements =
        isArray ? value.Elements() : std::vector<HostValue>{value};
    const std::size_t rows = isArray ? static_cast<std::size_t>(value.Rows()) : 1;
    const std::size_t columns = isArray ? static_cast<std::size_t>(value.Columns()) : 1;
    const bool wide = IsWide(code);
    if (!wide && (rows > 0xFFFF || columns > 0xFFFF)) {
        return false;
    }
    double* numbers = memory.Allocate<double>(elements.size() + 1) + 1; // room for a header
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (!elements[i].Is(HostValue::Kind::Number)) {
            return false;
        }
        numbers[i] = elements[i].AsNumber();
    }
    if (code[0] == 'K') {
        char* header = reinterpret_cast<char*>(numbers - 1);
        WriteExtent(header, wide, rows);
        WriteExtent(header + (wide ? 4 : 2), wide, columns);
        passed.pointers[0] = header;
        frame.AddWord(Address(header));
        return true;
    }
    passed.pointers[0] = memory.Allocate<std::int32_t>(1);
    passed.pointers[1] = memory.Allocate<std::int32_t>(1);
    passed.pointers[2] = numbers;
    WriteExtent(passed.pointers[0], wide, rows);
    WriteExtent(passed.pointers[1], wide, columns);
    for (void* pointer : passed.pointers) {
        frame.AddWord(Address(pointer));
    }
    return true;
}

// P and Q receive values, a reference's cells read from the sheet; R and U the reference.
template <typename Record>
void FunctionInvoker::PassRecord(const HostValue& argument, bool dereference, CallFrame& frame,
                                 ResultMemory& memory, Passed& passed) const {
    HostValue value = argument;
    if (dereference && !Coercion(sheet_, ArgumentLimits()).Dereference(argument, value)) {
        value = HostValue::Error(xlerrValue);
    }
    Record* record = memory.Allocate<Record>(1);
    RecordCodec<Record>::Write(value, *record, memory);
    passed.pointers[0] = record;
    frame.AddWord(Address(record));
}

// The result comes back by value (A B H I J), through a returned pointer, or in place in an
// argument: the one a digit names, the first of the same code for F and G, the first for ">".
CallResult FunctionInvoker::Call(const Registration& function, const CallFrame& frame,
                                 const std::vector<Passed>& passed) {
    const std::string& code = function.types.ResultType();
    const FARPROC address = function.address;
    std::size_t inPlace = function.types.InPlaceArgument();
    if (code[0] == 'F' || code[0] == 'G') {
        for (std::size_t i = 0; i < passed.size() && inPlace == 0; ++i) {
            inPlace = passed[i].code == code ? i + 1 : 0;
        }
        if (inPlace == 0) {
            return Failed("result code " + code + " without an argument of that code");
        }
    } else if (code == ">" && !passed.empty() && TypeText::CanBeInPlace(passed[0].code)) {
        inPlace = 1;
    }
    if (inPlace != 0 || code == ">") {
        frame.CallReturningWord(address);
        if (inPlace == 0) {
            return CallResult{HostValue::Nil(), true, false};
        }
        CallResult result = ReadPointer(passed[inPlace - 1].code, passed[inPlace - 1].pointers);
        result.wideText = IsWide(passed[inPlace - 1].code);
        return result;
    }
    if (code == "B") {
        return CallResult{HostValue::Number(frame.CallReturningDouble(address)), true, false};
    }
    const std::uintptr_t word = frame.CallReturningWord(address);
    switch (code[0]) {
    case 'A':
        return CallResult{HostValue::Boolean(static_cast<std::int16_t>(word) != 0), true, false};
    case 'H':
        return CallResult{HostValue::Number(static_cast<std::uint16_t>(word)), true, false};
    case 'I':
        return CallResult{HostValue::Number(static_cast<std::int16_t>(word)), true, false};
    case 'J':
        return CallResult{HostValue::Number(static_cast<std::int32_t>(word)), true, false};
    default: {
        void* const pointers[3] = {reinterpret_cast<void*>(word), nullptr, nullptr};
        CallResult result = ReadPointer(code, pointers);
        result.wideText = IsWide(code);
        return result;
    }
    }
}

CallResult FunctionInvoker::ReadPointer(const std::string& code, void* const* pointers) {
    const char letter = code[0];
    if (pointers[0] == nullptr) {
        return CallResult{HostValue::Missing(), true, true};
    }
    if (IsRecord(letter)) {
        return IsWide(code) ? ReadRecord(static_cast<XLOPER12*>(pointers[0]))
                            : ReadRecord(static_cast<XLOPER*>(pointers[0]));
    }
    const bool wide = IsWide(code);
    const void* p = pointers[0];
    HostValue value;
    switch (letter) {
    case 'C':
    case 'D':
    case 'F':
    case 'G': {
        const bool counted = letter == 'D' || letter == 'G';
        value = wide ? ReadText<XCHAR>(counted, p) : ReadText<char>(counted, p);
        break;
    }
    case 'E':
        value = HostValue::Number(*static_cast<const double*>(p));
        break;
    case 'L':
        value = HostValue::Boolean(*static_cast<const std::int16_t*>(p) != 0);
        break;
    case 'M':
        value = HostValue::Number(*static_cast<const std::int16_t*>(p));
        break;
    case 'N':
        value = HostValue::Number(*static_cast<const std::int32_t*>(p));
        break;
    case 'K': {
        const char* header = static_cast<const char*>(p);
        value = ReadNumbers(ReadExtent(header, wide), ReadExtent(header + (wide ? 4 : 2), wide),
                            reinterpret_cast<const double*>(header + 8));
        break;
    }
    default: // O, O%: rows, columns and numbers, as the function left them
        value = ReadNumbers(ReadExtent(pointers[0], wide), ReadExtent(pointers[1], wide),
                            static_cast<const double*>(pointers[2]));
        break;
    }
    return CallResult{value, true, false};
}

// A result marked xlbitXLFree holds memory the stand-in handed out, which Excel frees after
// use; one marked xlbitDLLFree goes back to the add-in once used.
template <typename Record> CallResult FunctionInvoker::ReadRecord(Record* record) {
    CallResult result{HostValue::Error(xlerrValue), true, false};
    RecordCodec<Record>::Read(*record, result.value);
    if ((record->xltype & xlbitXLFree) != 0) {
        const DWORD type = RecordCodec<Record>::ValueType(*record);
        if (RecordCodec<Record>::HasContents(type)) {
            allocations_.Release(type, RecordCodec<Record>::Contents(*record));
        }
    }
    if ((record->xltype & xlbitDLLFree) != 0) {
        result.dllFreeRecord = record;
        result.dllFreeExcel12 = std::is_same<Record, XLOPER12>::value;
    }
    return result;
}

} // namespace xlstandin
