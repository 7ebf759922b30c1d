#pragma once

#include <vornix/ExcelApi.h>
#include <vornix/XlfExport.h>

// The seven worksheet functions of the add-in. Value arguments are records of the running Excel
// (XLOPER12 in Excel 12 mode, XLOPER otherwise); the result is a record in the add-in's
// temporary memory, valid until the next worksheet call, or null after a library exception.
XLF_EXPORT LPXLFOPER WINAPI xlbin_Dec2Bin(LPXLFOPER dec, double precision);
XLF_EXPORT LPXLFOPER WINAPI xlbin_Bin2Dec(LPXLFOPER bin);
XLF_EXPORT LPXLFOPER WINAPI xlbin_bitXOR(LPXLFOPER xNum1, LPXLFOPER xNum2);
XLF_EXPORT LPXLFOPER WINAPI xlbin_bitOR(LPXLFOPER xNum1, LPXLFOPER xNum2);
XLF_EXPORT LPXLFOPER WINAPI xlbin_bitAnd(LPXLFOPER xNum1, LPXLFOPER xNum2);
XLF_EXPORT LPXLFOPER WINAPI xlbin_leftShift(double xNum, double bits);
XLF_EXPORT LPXLFOPER WINAPI xlbin_RightShift(double xNum, double bits);
