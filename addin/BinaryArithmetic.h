// The arithmetic behind the worksheet functions: decimal texts to binary texts and back, bitwise
// operations on fixed-point numbers with 30 fractional bits, and shifts by powers of two.
//
// Texts are read by the C library's atol/atof/atoi rules, with our own readers so that both targets
// read alike. A decimal text that is a number in exponent notation ("1.42857142857143E-05", as
// Excel writes small and large numbers) is first written out in plain decimal notation, so that
// it is read at its value. Where a value leaves the representable range the operations throw
// std::out_of_range, showing at most 40 characters of the operand, instead of wrapping or
// reading outside a buffer.
#pragma once

#include <cstdint>
#include <string>

// Binary digits of |x|, most significant first, without leading zeros; 0 gives "0".
std::string IntegerToBinary(std::int32_t x);

// Exactly n binary digits of the fraction a, truncated, not rounded. Throws std::out_of_range when
// n is outside 1..64 or a is not finite or not below 1.
std::string FractionToBinary(double a, int n);

// An optional minus sign, the digits of the integer part and, when the text has a point and the
// precision is not 0, a point and that many fraction digits. Throws std::out_of_range for an
// integer part outside 32 bits (-2^31 is inside), a precision outside 0..64 when fraction digits
// are due, or a fraction whose exponent makes it 1 or more.
std::string DecimalToBinary(std::string text, int precision);

// The value of a binary text; every character counts as its atoi digit (0 for non-digits).
double BinaryToDecimal(std::string text);

// Bit operations on the magnitudes of two decimal texts: 32-bit integer parts and fraction words
// of 30 bits. A fraction below 1 that atof rounds up to 1 ("0.99999999999999999") counts as the
// largest double below 1, as in DecimalToBinary. Throw std::out_of_range when a part does not
// fit its word.
double BitwiseXor(std::string first, std::string second);
double BitwiseOr(std::string first, std::string second);
double BitwiseAnd(std::string first, std::string second);

// A number of digits or bits as Excel passes it, as a whole number: truncated toward zero and held
// to the 32-bit range; NaN counts as 0.
int WholeCount(double value);

// x * 2^n and x / 2^n, in floating point; infinite only where the result is beyond the double
// range.
double ShiftLeft(double x, int n);
double ShiftRight(double x, int n);
