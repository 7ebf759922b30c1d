// A worksheet call with nothing around the arithmetic: the function reads its argument records
// itself (a number written in its shortest form, a text unit by unit) and returns a static record.
// No mutex, no window search, no Excel callback: the cost of the work alone.
#pragma once

#include "CaseArguments.h"
#include "CaseArithmetic.h"
#include "ExcelLayout.h"

#include <charconv>
#include <cmath>
#include <string>

template <typename Record> class RawCall {
public:
    using Unit = typename ExcelLayout<Record>::Unit;

    static LPXLFOPER Run(const WorksheetCase& call, Record* first, Record* second) {
        static Record result;
        static Unit units[128];
        if (call.TextResult()) {
            const std::string text = ComputeText(call, Text(*first), call.second);
            const std::size_t length = text.size() < 127 ? text.size() : 127;
            units[0] = static_cast<Unit>(length);
            for (std::size_t i = 0; i < length; ++i)
                units[i + 1] = static_cast<Unit>(text[i]);
            result.val.str = units;
            result.xltype = xltypeStr;
            return &result;
        }
        const int values = call.ValueArguments();
        const double value = ComputeNumber(call, values > 0 ? Text(*first) : std::string(),
                                           values > 1 ? Text(*second) : std::string());
        result.val.num = value;
        result.xltype = std::isfinite(value) ? xltypeNum : xltypeErr;
        return &result;
    }

private:
    static std::string Text(const Record& record) {
        if (record.xltype & xltypeStr) {
            std::string text(static_cast<std::size_t>(record.val.str[0]), '\0');
            for (std::size_t i = 0; i < text.size(); ++i)
                text[i] = static_cast<char>(record.val.str[i + 1]);
            return text;
        }
        char digits[32];
        const auto written = std::to_chars(digits, digits + sizeof(digits), record.val.num);
        return std::string(digits, written.ptr);
    }
};
