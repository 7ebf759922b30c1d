// Worksheet functions of the test executable for every type code the stand-in passes, for long
// argument lists, and for results handed back through xlAutoFree. Registered by the type text
// each entry of Exports() gives.
#pragma once

#include "ExcelStandInTest.h"
#include <vornix/ExcelApi.h>

#include <map>
#include <string>

namespace codesamples {

struct Sample {
    FARPROC address;
    std::string typeText;
};
// Every sample by its export name.
const std::map<std::string, Sample>& Exports();
std::map<std::string, FARPROC> Addresses();

// Records handed to xlAutoFree12 and xlAutoFree, and results still allocated.
extern int autoFree12Calls;
extern int autoFreeCalls;
extern int liveResults;

} // namespace codesamples

// FP and FP12 as the add-in declares them: rows and columns, then the numbers.
struct SampleFP {
    unsigned short rows;
    unsigned short columns;
    double array[1];
};
struct SampleFP12 {
    int rows;
    int columns;
    double array[1];
};

XLSTANDIN_TEST_EXPORT char* __stdcall SampleTexts(const char* c, const unsigned char* d,
                                                  const XCHAR* cWide, const XCHAR* dWide);
XLSTANDIN_TEST_EXPORT XCHAR* __stdcall SampleWideEcho(XCHAR* counted);
XLSTANDIN_TEST_EXPORT int __stdcall SampleIntegers(unsigned short h, short i, int j);
XLSTANDIN_TEST_EXPORT short __stdcall SampleNegate(short i);
XLSTANDIN_TEST_EXPORT int* __stdcall SamplePointers(double* e, short* m, int* n, short* l);
XLSTANDIN_TEST_EXPORT double __stdcall SampleTable(SampleFP* table);
XLSTANDIN_TEST_EXPORT SampleFP12* __stdcall SampleTranspose(SampleFP12* table);
XLSTANDIN_TEST_EXPORT void __stdcall SampleUpper(char* buffer);
// The same, exported under a name of its own for the registration that returns its F argument.
XLSTANDIN_TEST_EXPORT void __stdcall SampleUpperF(char* buffer);
XLSTANDIN_TEST_EXPORT void __stdcall SampleDoubleFirstRow(unsigned short* rows,
                                                          unsigned short* columns, double* numbers);
XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall SampleOwnText12(XLOPER12* text);
XLSTANDIN_TEST_EXPORT XLOPER* __stdcall SampleOwnText4(XLOPER* text);
XLSTANDIN_TEST_EXPORT void __stdcall xlAutoFree12(XLOPER12* result);
XLSTANDIN_TEST_EXPORT void __stdcall xlAutoFree(XLOPER* result);
