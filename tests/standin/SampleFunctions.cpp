#include "SampleFunctions.h"

#include "RecordKit.h"

#include <initializer_list>

namespace samples {

int calls = 0;
DWORD receivedType = 0;

const std::map<std::string, FARPROC>& Exports() {
    static const std::map<std::string, FARPROC> exports = {
        {"SampleBBB", ExcelStandInTest::Proc(&SampleBBB)},
        {"SampleQQB", ExcelStandInTest::Proc(&SampleQQB)},
        {"SamplePPB", ExcelStandInTest::Proc(&SamplePPB)},
        {"SampleJJ", ExcelStandInTest::Proc(&SampleJJ)},
        {"SampleAA", ExcelStandInTest::Proc(&SampleAA)},
        {"SampleQQQQQQQQQ", ExcelStandInTest::Proc(&SampleQQQQQQQQQ)},
        {"SampleBBQBQBQBQ", ExcelStandInTest::Proc(&SampleBBQBQBQBQ)},
        {"SampleBBBBBBBBB", ExcelStandInTest::Proc(&SampleBBBBBBBBB)},
        {"SampleUU", ExcelStandInTest::Proc(&SampleUU)},
        {"SampleRR", ExcelStandInTest::Proc(&SampleRR)},
        {"SampleP", ExcelStandInTest::Proc(&SampleP)},
        {"SampleQQ", ExcelStandInTest::Proc(&SampleQQ)},
    };
    return exports;
}

namespace {

// Numbers are multiplied; any other value comes back as received.
template <typename Record> Record* ScaleOrEcho(Record* value, double factor) {
    static Record product;
    ++calls;
    receivedType = value->xltype;
    if (value->xltype != xltypeNum) {
        return value;
    }
    product.xltype = xltypeNum;
    product.val.num = value->val.num * factor;
    return &product;
}

// The arguments as the digits of one number, first argument first: (1, 2, 3) gives 123.
double Digits(std::initializer_list<double> arguments) {
    double digits = 0;
    for (double argument : arguments) {
        digits = digits * 10 + argument;
    }
    return digits;
}

double NumberIn(const XLOPER12* value) {
    return value->xltype == xltypeNum ? value->val.num : -1;
}

} // namespace

} // namespace samples

using samples::NumberIn;

double __stdcall SampleBBB(double minuend, double subtrahend) {
    ++samples::calls;
    return minuend - subtrahend;
}

XLOPER12* __stdcall SampleQQB(XLOPER12* value, double factor) {
    return samples::ScaleOrEcho(value, factor);
}

XLOPER* __stdcall SamplePPB(XLOPER* value, double factor) {
    return samples::ScaleOrEcho(value, factor);
}

int __stdcall SampleJJ(int number) {
    ++samples::calls;
    return 3 * number;
}

short __stdcall SampleAA(short flag) {
    ++samples::calls;
    return flag == 0 ? 1 : 0;
}

XLOPER12* __stdcall SampleQQQQQQQQQ(XLOPER12* a1, XLOPER12* a2, XLOPER12* a3, XLOPER12* a4,
                                    XLOPER12* a5, XLOPER12* a6, XLOPER12* a7, XLOPER12* a8) {
    static XLOPER12 digits;
    ++samples::calls;
    digits.xltype = xltypeNum;
    digits.val.num = samples::Digits({NumberIn(a1), NumberIn(a2), NumberIn(a3), NumberIn(a4),
                                      NumberIn(a5), NumberIn(a6), NumberIn(a7), NumberIn(a8)});
    return &digits;
}

double __stdcall SampleBBQBQBQBQ(double a1, XLOPER12* a2, double a3, XLOPER12* a4, double a5,
                                 XLOPER12* a6, double a7, XLOPER12* a8) {
    ++samples::calls;
    return samples::Digits(
        {a1, NumberIn(a2), a3, NumberIn(a4), a5, NumberIn(a6), a7, NumberIn(a8)});
}

double __stdcall SampleBBBBBBBBB(double a1, double a2, double a3, double a4, double a5, double a6,
                                 double a7, double a8) {
    ++samples::calls;
    return samples::Digits({a1, a2, a3, a4, a5, a6, a7, a8});
}

XLOPER12* __stdcall SampleUU(XLOPER12* reference) {
    ++samples::calls;
    samples::receivedType = reference->xltype;
    return reference;
}

XLOPER* __stdcall SampleRR(XLOPER* reference) {
    ++samples::calls;
    samples::receivedType = reference->xltype;
    return reference;
}

XLOPER* __stdcall SampleP() {
    ++samples::calls;
    return nullptr;
}

// Asks Excel for the value as text and hands Excel's record back for Excel to free.
XLOPER12* __stdcall SampleQQ(XLOPER12* value) {
    static XLOPER12 text;
    ++samples::calls;
    RecordKit<XLOPER12> kit;
    if (CallMdCallBack12(xlCoerce, &text, {value, kit.Int(xltypeStr)}) != xlretSuccess) {
        return nullptr;
    }
    text.xltype |= xlbitXLFree;
    return &text;
}
