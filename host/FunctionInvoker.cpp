#include "FunctionInvoker.h"

#include "RecordCodec.h"

#include <cstdint>
#include <cstring>

namespace xlstandin {

namespace {

CallResult NotCalled(int error) {
    return CallResult{HostValue::Error(error), false, false};
}

bool IsPassable(const std::string& type) {
    return type.size() == 1 && std::strchr(FunctionInvoker::Letters, type[0]) != nullptr;
}

// Excel converts plain-value arguments with the Excel 12 bounds.
RecordLimits ArgumentLimits() {
    return RecordCodec<XLOPER12>::Limits();
}

} // namespace

CallResult FunctionInvoker::Invoke(const Registration& function,
                                   const std::vector<HostValue>& arguments) {
    const std::vector<std::string> types = function.types.ArgumentTypes();
    if (arguments.size() > types.size() || types.size() > CallFrame::MaxArguments ||
        !IsPassable(function.types.ResultType())) {
        return NotCalled(xlerrValue);
    }
    CallFrame frame;
    ResultMemory memory; // the argument records, valid for the call
    for (std::size_t i = 0; i < types.size(); ++i) {
        const HostValue argument = i < arguments.size() ? arguments[i] : HostValue::Missing();
        int error = xlerrValue;
        if (!IsPassable(types[i]) || !Pass(types[i], argument, frame, memory, error)) {
            return NotCalled(error);
        }
    }
    return Call(function.types.ResultType(), function.address, frame);
}

bool FunctionInvoker::Pass(const std::string& type, const HostValue& argument, CallFrame& frame,
                           ResultMemory& memory, int& error) const {
    const char letter = type[0];
    if (letter == 'P' || letter == 'R') {
        return PassRecord<XLOPER>(argument, letter == 'P', frame, memory);
    }
    if (letter == 'Q' || letter == 'U') {
        return PassRecord<XLOPER12>(argument, letter == 'Q', frame, memory);
    }
    const Coercion coercion(sheet_, ArgumentLimits());
    HostValue value;
    if (!coercion.Dereference(argument, value)) {
        return false;
    }
    if (value.Is(HostValue::Kind::Error)) {
        error = value.AsError();
        return false;
    }
    if (letter == 'A') {
        bool boolean = false;
        if (!coercion.ToBoolean(value, boolean)) {
            return false;
        }
        frame.AddWord(boolean ? 1 : 0);
        return true;
    }
    if (letter == 'J') {
        long integer = 0;
        if (!coercion.ToInt(value, integer)) {
            return false;
        }
        frame.AddWord(integer);
        return true;
    }
    double number = 0;
    if (!coercion.ToNumber(value, number)) {
        return false;
    }
    frame.AddDouble(number);
    return true;
}

// P and Q receive values, a reference's cells read from the sheet; R and U the reference.
template <typename Record>
bool FunctionInvoker::PassRecord(const HostValue& argument, bool dereference, CallFrame& frame,
                                 ResultMemory& memory) const {
    HostValue value = argument;
    if (dereference && !Coercion(sheet_, ArgumentLimits()).Dereference(argument, value)) {
        return false;
    }
    Record* record = memory.Allocate<Record>(1);
    RecordCodec<Record>::Write(value, *record, memory);
    frame.AddWord(reinterpret_cast<std::intptr_t>(record));
    return true;
}

CallResult FunctionInvoker::Call(const std::string& type, FARPROC address, const CallFrame& frame) {
    switch (type[0]) {
    case 'B':
        return CallResult{HostValue::Number(frame.CallReturningDouble(address)), true, false};
    case 'J':
        return CallResult{
            HostValue::Number(static_cast<std::int32_t>(frame.CallReturningWord(address))), true,
            false};
    case 'A':
        return CallResult{
            HostValue::Boolean(static_cast<std::int16_t>(frame.CallReturningWord(address)) != 0),
            true, false};
    case 'P':
    case 'R':
        return ReadResult(reinterpret_cast<const XLOPER*>(frame.CallReturningWord(address)));
    default:
        return ReadResult(reinterpret_cast<const XLOPER12*>(frame.CallReturningWord(address)));
    }
}

// A result carrying xlbitXLFree holds memory the stand-in handed out; Excel frees it after use.
template <typename Record> CallResult FunctionInvoker::ReadResult(const Record* record) {
    if (record == nullptr) {
        return CallResult{HostValue::Missing(), true, true};
    }
    CallResult result{HostValue::Error(xlerrValue), true, false};
    RecordCodec<Record>::Read(*record, result.value);
    if ((record->xltype & xlbitXLFree) != 0) {
        const DWORD type = RecordCodec<Record>::ValueType(*record);
        if (RecordCodec<Record>::HasContents(type)) {
            allocations_.Release(type, RecordCodec<Record>::Contents(*record));
        }
    }
    return result;
}

} // namespace xlstandin
