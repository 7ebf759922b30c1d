// xlhost's formula reader and evaluator on any text, against Tesmor's seven functions opened by
// xlAutoOpen, in both Excel modes, with the function wizard open or closed and at most one Excel
// callback made to fail with one return code. Every formula that reads evaluates to a result
// whose printed form is one defined value; the printer is also given values of every kind, and
// a number must read back from its printed form.
#include "FormulaEvaluator.h"
#include "FormulaParser.h"
#include "FuzzCheck.h"
#include "FuzzValues.h"
#include "ResultText.h"
#include "StandInRound.h"
#include "TesmorExports.h"
#include "XlOpenClose.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <Win32Compat.h>
#endif

namespace {

using xlstandin::HostValue;

const char* const kModule = "C:\\fuzz\\Tesmor.xll";
const int kCallbacks[] = {xlFree,     xlCoerce,    xlAbort,       xlGetHwnd,      xlGetName,
                          xlcMessage, xlfRegister, xlfUnregister, xlfGetWorkspace};
const int kErrorCodes[] = {0, 7, 15, 23, 29, 36, 42, 43, 12345};

// One printed value: no line break, never empty; a text quoted; a number reads back exactly.
void CheckPrinted(const HostValue& value, const std::string& printed) {
    FUZZ_CHECK(!printed.empty());
    FUZZ_CHECK(printed.find_first_of("\r\n") == std::string::npos);
    if (value.Is(HostValue::Kind::Text))
        FUZZ_CHECK(printed.size() >= 2 && printed.front() == '"' && printed.back() == '"');
    if (value.Is(HostValue::Kind::Number)) {
        const double number = value.AsNumber();
        if (std::isfinite(number)) {
            char* end = nullptr;
            const double read = std::strtod(printed.c_str(), &end);
            FUZZ_CHECK(*end == '\0');
            FUZZ_CHECK(read == number);
        } else {
            FUZZ_CHECK(printed == "#NUM!");
        }
    }
}

HostValue AnyScalar(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return HostValue::Number(AnyDouble(input));
    case 1: {
        std::u16string units;
        for (int i = input.ConsumeIntegralInRange(0, 40); i > 0; --i)
            units.push_back(input.ConsumeIntegral<char16_t>());
        return HostValue::Text(units);
    }
    case 2:
        return HostValue::Boolean(input.ConsumeBool());
    case 3:
        return HostValue::Error(input.PickValueInArray(kErrorCodes));
    case 4:
        return HostValue::Nil();
    default:
        return HostValue::Missing();
    }
}

HostValue AnyReference(FuzzedDataProvider& input) {
    std::vector<xlstandin::CellArea> areas;
    for (int i = input.ConsumeIntegralInRange(1, 3); i > 0; --i) {
        const auto row = input.ConsumeIntegralInRange<std::int32_t>(0, 1048575);
        const auto column = input.ConsumeIntegralInRange<std::int32_t>(0, 16383);
        areas.push_back({row, std::min(row + input.ConsumeIntegralInRange(0, 9), 1048575), column,
                         std::min(column + input.ConsumeIntegralInRange(0, 9), 16383)});
    }
    return HostValue::Reference(input.ConsumeIntegral<std::uint32_t>(), areas);
}

HostValue AnyValue(FuzzedDataProvider& input) {
    if (input.ConsumeBool())
        return AnyScalar(input);
    if (input.ConsumeBool())
        return AnyReference(input);
    const int rows = input.ConsumeIntegralInRange(1, 3);
    const int columns = input.ConsumeIntegralInRange(1, 3);
    std::vector<HostValue> elements;
    for (int i = 0; i < rows * columns; ++i)
        elements.push_back(AnyScalar(input));
    return HostValue::Array(rows, columns, std::move(elements));
}

void CheckPrinter(FuzzedDataProvider& input) {
    const HostValue value = AnyValue(input);
    const bool wide = input.ConsumeBool();
    CheckPrinted(value, xlhost::ResultText::Of(value, wide));
    if (value.Is(HostValue::Kind::Array)) {
        for (const HostValue& element : value.Elements())
            CheckPrinted(element, xlhost::ResultText::Of(element, wide));
    }
}

template <typename Mode> void RunRound(FuzzedDataProvider& input) {
    StandInRound<Mode> round;
    round.Excel().SetAddInName(kModule);
    if (input.ConsumeBool()) {
        const int callback = input.PickValueInArray(kCallbacks);
        const int code = 1 << input.ConsumeIntegralInRange(0, 8);
        if (input.ConsumeBool())
            round.Excel().FailEvery(callback, code);
        else
            round.Excel().FailNext(callback, code);
        round.SetFreeing(callback != xlFree);
    }
    if (input.ConsumeBool())
        round.Excel().OpenFunctionWizard();
    xlAutoOpen();

    const std::string text = input.ConsumeRemainingBytesAsString();
    xlhost::Expression formula;
    std::string reason;
    if (xlhost::FormulaParser::Parse(text, formula, reason)) {
        const xlhost::Evaluation evaluation =
            xlhost::FormulaEvaluator(round.Excel()).Evaluate(formula);
        const std::string printed = xlhost::ResultText::Of(evaluation.result, evaluation.wideText);
        if (evaluation.result.nullPointer)
            FUZZ_CHECK(printed == "(null)");
        else
            CheckPrinted(evaluation.result.value, printed);
    } else {
        FUZZ_CHECK(reason.find("column") != std::string::npos);
    }
    xlAutoClose();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        std::cerr.rdbuf(nullptr); // the add-in's log lines are not what is checked here
        win32compat::RegisterModule(kModule, TesmorExports());
        return true;
    }();
    static_cast<void>(ready);
    FuzzedDataProvider input(data, size);
    CheckPrinter(input);
    if (input.ConsumeBool())
        RunRound<Excel12Mode>(input);
    else
        RunRound<Excel16Mode>(input);
    return 0;
}
