// Worksheet functions of the test executable that the stand-in registers and calls, one per
// signature the tests need. Each counts its calls; the B, J and A ones return a result from
// which the order of their arguments can be read.
#pragma once

#include "ExcelStandInTest.h"
#include <vornix/ExcelApi.h>

#include <map>
#include <string>

namespace samples {
extern int calls;
// Type word of the last value record a P or Q function received.
extern DWORD receivedType;
// Every sample function by its export name.
const std::map<std::string, FARPROC>& Exports();
} // namespace samples

XLSTANDIN_TEST_EXPORT double __stdcall SampleBBB(double minuend, double subtrahend);
XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall SampleQQB(XLOPER12* value, double factor);
XLSTANDIN_TEST_EXPORT XLOPER* __stdcall SamplePPB(XLOPER* value, double factor);
XLSTANDIN_TEST_EXPORT int __stdcall SampleJJ(int number);
XLSTANDIN_TEST_EXPORT short __stdcall SampleAA(short flag);
XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall SampleQQQQQQQQQ(XLOPER12* a1, XLOPER12* a2, XLOPER12* a3,
                                                          XLOPER12* a4, XLOPER12* a5, XLOPER12* a6,
                                                          XLOPER12* a7, XLOPER12* a8);
XLSTANDIN_TEST_EXPORT double __stdcall SampleBBQBQBQBQ(double a1, XLOPER12* a2, double a3,
                                                       XLOPER12* a4, double a5, XLOPER12* a6,
                                                       double a7, XLOPER12* a8);
XLSTANDIN_TEST_EXPORT double __stdcall SampleBBBBBBBBB(double a1, double a2, double a3, double a4,
                                                       double a5, double a6, double a7, double a8);
XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall SampleUU(XLOPER12* reference);
XLSTANDIN_TEST_EXPORT XLOPER* __stdcall SampleRR(XLOPER* reference);
XLSTANDIN_TEST_EXPORT XLOPER* __stdcall SampleP();
XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall SampleQQ(XLOPER12* value);
