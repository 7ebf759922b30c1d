// Calls registered functions the way Excel calls them during recalculation.
#pragma once

#include "AllocationTracker.h"
#include "AsyncCalls.h"
#include "CallFrame.h"
#include "Coercion.h"
#include "FunctionRegistry.h"
#include "HostValue.h"
#include "ResultMemory.h"

#include <string>
#include <utility>
#include <vector>

namespace xlstandin {

struct CallResult {
    CallResult() = default;
    CallResult(HostValue result, bool wasCalled, bool wasNull)
        : value(std::move(result)), called(wasCalled), nullPointer(wasNull) {}

    HostValue value;
    bool called = false;      // false when Excel answered without calling the function
    bool nullPointer = false; // the function returned a null pointer
    bool wideText = false;    // the result's texts are Excel 12 code units
    // Why the stand-in could not make a call Excel would make; empty otherwise.
    std::string failure;
    // A result record marked xlbitDLLFree, to be handed back to the add-in's xlAutoFree12
    // (Excel 12 record) or xlAutoFree once the result has been used.
    void* dllFreeRecord = nullptr;
    bool dllFreeExcel12 = false;
    HMODULE module = nullptr; // the function's module, which exports xlAutoFree12 or xlAutoFree
    // An asynchronous function's handle: its value comes through xlAsyncReturn; 0 otherwise.
    AsyncCalls::Handle asyncHandle = 0;
};

class FunctionInvoker {
public:
    // caller: the formula's cell, for the implicit intersection of blocks given to codes that
    // take one value; null outside formulas.
    FunctionInvoker(const SheetModel& sheet, AllocationTracker& allocations, AsyncCalls& async,
                    const CellArea* caller = nullptr)
        : sheet_(sheet), allocations_(allocations), async_(async), caller_(caller) {}

    // Passes each argument as its type code asks (missing ones as Excel passes an omitted
    // argument) and reads the result back before anything else runs: R and U get references as
    // they are, P and Q the cells' values, K and O a block's numbers, the other codes the value
    // of one cell, a block intersected implicitly. An argument that does not convert answers
    // #VALUE!, an integer out of its code's range #NUM!, an error value itself, each without a
    // call. A call with more arguments than registered is not made and says why.
    // An asynchronous function gets a new handle for its X argument, which takes no formula
    // argument, and its result is that handle.
    CallResult Invoke(const Registration& function, const std::vector<HostValue>& arguments);

private:
    // Where an argument went: its code and the storage a pointer argument points at.
    struct Passed {
        std::string code;
        void* pointers[3] = {nullptr, nullptr, nullptr};
    };

    // Adds one argument to the frame; false with the error to answer instead of calling.
    bool Pass(const std::string& code, const HostValue& argument, CallFrame& frame,
              ResultMemory& memory, Passed& passed, int& error) const;
    bool PassScalar(const std::string& code, const HostValue& value, CallFrame& frame,
                    ResultMemory& memory, Passed& passed, int& error) const;
    bool PassText(const std::string& code, const HostValue& value, CallFrame& frame,
                  ResultMemory& memory, Passed& passed) const;
    bool PassNumbers(const std::string& code, const HostValue& value, CallFrame& frame,
                     ResultMemory& memory, Passed& passed) const;
    template <typename Record>
    void PassRecord(const HostValue& argument, bool dereference, CallFrame& frame,
                    ResultMemory& memory, Passed& passed) const;

    CallResult Call(const Registration& function, const CallFrame& frame,
                    const std::vector<Passed>& passed);
    CallResult ReadPointer(const std::string& code, void* const* pointers);
    template <typename Record> CallResult ReadRecord(Record* record);

    const SheetModel& sheet_;
    AllocationTracker& allocations_;
    AsyncCalls& async_;
    const CellArea* caller_;
};

} // namespace xlstandin
