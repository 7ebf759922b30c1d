// Calls registered functions the way Excel calls them during recalculation.
#pragma once

#include "AllocationTracker.h"
#include "CallFrame.h"
#include "Coercion.h"
#include "FunctionRegistry.h"
#include "HostValue.h"
#include "ResultMemory.h"

#include <string>
#include <vector>

namespace xlstandin {

struct CallResult {
    HostValue value;
    bool called = false;      // false when Excel answered without calling the function
    bool nullPointer = false; // the function returned a null record pointer
};

class FunctionInvoker {
public:
    // Type letters whose arguments and results the stand-in can pass.
    static constexpr const char* Letters = "ABJPQRU";

    FunctionInvoker(const SheetModel& sheet, AllocationTracker& allocations)
        : sheet_(sheet), allocations_(allocations) {}

    // Passes each argument as its type letter asks (missing ones as missing values) and reads
    // the result back before anything else runs. A B, J or A argument that does not convert
    // answers #VALUE!, or the argument's own error, without calling; so do a call with more
    // arguments than registered and a type text the stand-in cannot pass.
    CallResult Invoke(const Registration& function, const std::vector<HostValue>& arguments);

private:
    // Adds one argument to the frame; false with the error to answer instead of calling.
    bool Pass(const std::string& type, const HostValue& argument, CallFrame& frame,
              ResultMemory& memory, int& error) const;
    template <typename Record>
    bool PassRecord(const HostValue& argument, bool dereference, CallFrame& frame,
                    ResultMemory& memory) const;
    CallResult Call(const std::string& type, FARPROC address, const CallFrame& frame);
    template <typename Record> CallResult ReadResult(const Record* record);

    const SheetModel& sheet_;
    AllocationTracker& allocations_;
};

} // namespace xlstandin
