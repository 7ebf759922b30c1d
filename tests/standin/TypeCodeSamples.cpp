#include "TypeCodeSamples.h"

#include <cctype>
#include <cstring>
#include <initializer_list>

// Argument lists of many parameters: M(name) for each of the names p0 ... p9.
#define XLS_TEN(M, p)                                                                              \
    M(p##0), M(p##1), M(p##2), M(p##3), M(p##4), M(p##5), M(p##6), M(p##7), M(p##8), M(p##9)
#define XLS_HUNDRED(M, p)                                                                          \
    XLS_TEN(M, p##0), XLS_TEN(M, p##1), XLS_TEN(M, p##2), XLS_TEN(M, p##3), XLS_TEN(M, p##4),      \
        XLS_TEN(M, p##5), XLS_TEN(M, p##6), XLS_TEN(M, p##7), XLS_TEN(M, p##8), XLS_TEN(M, p##9)
#define XLS_255(M)                                                                                 \
    XLS_HUNDRED(M, a), XLS_HUNDRED(M, b), XLS_TEN(M, c0), XLS_TEN(M, c1), XLS_TEN(M, c2),          \
        XLS_TEN(M, c3), XLS_TEN(M, c4), M(d0), M(d1), M(d2), M(d3), M(d4)
#define XLS_30(M) XLS_TEN(M, a), XLS_TEN(M, b), XLS_TEN(M, c)
#define XLS_RECORD(name) XLOPER12* name
#define XLS_DOUBLE(name) double name
#define XLS_NAME(name) name
#define XLS_PAIR(name) double name##d, int name##j
#define XLS_PAIR_VALUE(name) name##d * 100 + name##j

XLSTANDIN_TEST_EXPORT double __stdcall SampleSum255(XLS_255(XLS_RECORD));
XLSTANDIN_TEST_EXPORT double __stdcall SampleSum30(XLS_30(XLS_DOUBLE));
XLSTANDIN_TEST_EXPORT double __stdcall SampleMixed(XLS_TEN(XLS_PAIR, p));

namespace codesamples {

int autoFree12Calls = 0;
int autoFreeCalls = 0;
int liveResults = 0;

namespace {

template <typename Function> Sample Of(Function function, const std::string& typeText) {
    return Sample{ExcelStandInTest::Proc(function), typeText};
}

// The arguments weighted by their place: a1 + 2 a2 + 3 a3 + ..., so that any two swapped show.
double Weighted(std::initializer_list<double> values) {
    double sum = 0;
    double place = 1;
    for (double value : values) {
        sum += place++ * value;
    }
    return sum;
}

double NumberIn(const XLOPER12* value) {
    return value->xltype == xltypeNum ? value->val.num : 0;
}

} // namespace

const std::map<std::string, Sample>& Exports() {
    static const std::map<std::string, Sample> exports = {
        {"SampleTexts", Of(&SampleTexts, "CCDC%D%")},
        {"SampleWideEcho", Of(&SampleWideEcho, "D%D%")},
        {"SampleIntegers", Of(&SampleIntegers, "JHIJ")},
        {"SampleNegate", Of(&SampleNegate, "II")},
        {"SamplePointers", Of(&SamplePointers, "NEMNL")},
        {"SampleTable", Of(&SampleTable, "BK")},
        {"SampleTranspose", Of(&SampleTranspose, "K%K%")},
        {"SampleUpper", Of(&SampleUpper, "1F")},
        {"SampleUpperF", Of(&SampleUpperF, "FF")},
        {"SampleDoubleFirstRow", Of(&SampleDoubleFirstRow, "1O")},
        {"SampleOwnText12", Of(&SampleOwnText12, "QQ")},
        {"SampleOwnText4", Of(&SampleOwnText4, "PP")},
        {"SampleSum255", Of(&SampleSum255, "B" + std::string(255, 'U'))},
        {"SampleSum30", Of(&SampleSum30, "B" + std::string(30, 'B'))},
        {"SampleMixed", Of(&SampleMixed, "BBJBJBJBJBJBJBJBJBJBJ")},
    };
    return exports;
}

std::map<std::string, FARPROC> Addresses() {
    std::map<std::string, FARPROC> addresses = {
        {"xlAutoFree12", ExcelStandInTest::Proc(&xlAutoFree12)},
        {"xlAutoFree", ExcelStandInTest::Proc(&xlAutoFree)}};
    for (const auto& sample : Exports()) {
        addresses[sample.first] = sample.second.address;
    }
    return addresses;
}

// A copy of a text record in memory of the add-in's own, marked for xlAutoFree.
template <typename Record> Record* OwnCopy(const Record* text) {
    using Unit = std::remove_pointer_t<decltype(text->val.str)>;
    if ((text->xltype & 0x0FFF) != xltypeStr) {
        return nullptr;
    }
    Record* copy = new Record();
    const std::size_t units = static_cast<std::size_t>(text->val.str[0]) + 1;
    copy->val.str = new Unit[units];
    std::memcpy(copy->val.str, text->val.str, units * sizeof(Unit));
    copy->xltype = xltypeStr | xlbitDLLFree;
    ++liveResults;
    return copy;
}

template <typename Record> void FreeOwn(Record* result) {
    delete[] result->val.str;
    delete result;
    --liveResults;
}

} // namespace codesamples

using codesamples::NumberIn;

char* __stdcall SampleTexts(const char* c, const unsigned char* d, const XCHAR* cWide,
                            const XCHAR* dWide) {
    static char joined[1024];
    std::string text =
        std::string(c) + "|" + std::string(reinterpret_cast<const char*>(d + 1), d[0]) + "|";
    for (const XCHAR* unit = cWide; *unit != 0; ++unit) {
        text += *unit > 0x7F ? '?' : static_cast<char>(*unit);
    }
    text += "|" + std::to_string(dWide[0]);
    std::strncpy(joined, text.c_str(), sizeof joined - 1);
    return joined;
}

XCHAR* __stdcall SampleWideEcho(XCHAR* counted) {
    return counted;
}

int __stdcall SampleIntegers(unsigned short h, short i, int j) {
    return static_cast<int>(h) - i + j;
}

short __stdcall SampleNegate(short i) {
    return static_cast<short>(-i);
}

int* __stdcall SamplePointers(double* e, short* m, int* n, short* l) {
    static int sum;
    sum = static_cast<int>(*e * 1000) + *m * 100 + *n * 10 + *l;
    return &sum;
}

double __stdcall SampleTable(SampleFP* table) {
    double sum = 0;
    for (int k = 0; k < table->rows * table->columns; ++k) {
        sum += (k + 1) * table->array[k];
    }
    return table->rows * 1000 + table->columns * 100 + sum;
}

SampleFP12* __stdcall SampleTranspose(SampleFP12* table) {
    static double storage[64];
    auto* result = reinterpret_cast<SampleFP12*>(storage);
    if (table->rows * table->columns > 60) {
        return nullptr;
    }
    result->rows = table->columns;
    result->columns = table->rows;
    for (int r = 0; r < table->rows; ++r) {
        for (int c = 0; c < table->columns; ++c) {
            result->array[c * table->rows + r] = table->array[r * table->columns + c];
        }
    }
    return result;
}

void __stdcall SampleUpper(char* buffer) {
    for (char* c = buffer; *c != '\0'; ++c) {
        *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    }
    std::strcat(buffer, "!");
}

void __stdcall SampleUpperF(char* buffer) {
    SampleUpper(buffer);
}

void __stdcall SampleDoubleFirstRow(unsigned short* rows, unsigned short* columns,
                                    double* numbers) {
    for (int k = 0; k < *columns; ++k) {
        numbers[k] *= 2;
    }
    *rows = 1;
}

XLOPER12* __stdcall SampleOwnText12(XLOPER12* text) {
    return codesamples::OwnCopy(text);
}

XLOPER* __stdcall SampleOwnText4(XLOPER* text) {
    return codesamples::OwnCopy(text);
}

void __stdcall xlAutoFree12(XLOPER12* result) {
    ++codesamples::autoFree12Calls;
    codesamples::FreeOwn(result);
}

void __stdcall xlAutoFree(XLOPER* result) {
    ++codesamples::autoFreeCalls;
    codesamples::FreeOwn(result);
}

double __stdcall SampleSum255(XLS_255(XLS_RECORD)) {
    double sum = 0;
    double place = 1;
    for (const XLOPER12* value : {XLS_255(XLS_NAME)}) {
        sum += place++ * NumberIn(value);
    }
    return sum;
}

double __stdcall SampleSum30(XLS_30(XLS_DOUBLE)) {
    return codesamples::Weighted({XLS_30(XLS_NAME)});
}

double __stdcall SampleMixed(XLS_TEN(XLS_PAIR, p)) {
    return codesamples::Weighted({XLS_TEN(XLS_PAIR_VALUE, p)});
}
