// Typed fixture running a test once per record layout, through that layout's entry.
#pragma once

#include "ExcelStandInTest.h"
#include "RecordKit.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

using RecordLayouts = ::testing::Types<XLOPER, XLOPER12>;

struct LayoutNames {
    template <typename Record> static std::string GetName(int) {
        return std::is_same<Record, XLOPER>::value ? "Excel4" : "Excel12";
    }
};

template <typename Record> class LayoutTest : public ExcelStandInTest {
public:
    using RecordType = Record;
    static constexpr bool IsExcel12 = std::is_same<Record, XLOPER12>::value;

protected:
    int Call(int xlfn, Record* result, std::vector<Record*> args) {
        return CallEntry(xlfn, result, std::move(args));
    }

    void Free(Record* record) { ASSERT_EQ(xlretSuccess, Call(xlFree, nullptr, {record})); }

    // xlCoerce of source to the given types into result.
    int Coerce(Record* source, DWORD types, Record* result) {
        return Call(xlCoerce, result, {source, kit.Int(static_cast<int>(types))});
    }

    // The text source coerces to, or a description of what went wrong.
    std::string CoercedText(Record* source) {
        Record* result = kit.Result();
        const int code = Coerce(source, xltypeStr, result);
        if (code != xlretSuccess || result->xltype != xltypeStr) {
            return "(code " + std::to_string(code) + ", type " + std::to_string(result->xltype) +
                   ")";
        }
        const std::string text = TextOf(*result);
        Free(result);
        return text;
    }

    RecordKit<Record> kit;

private:
    XlCallHold xlCall_;
};
