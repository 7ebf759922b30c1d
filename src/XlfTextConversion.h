#pragma once

#include "ExcelApi.h"

#include <cstddef>
#include <string>

namespace vornix {

// Text conversions between the process's narrow texts, Excel 12's 16-bit code units and
// std::wstring (16-bit on Windows, 32-bit elsewhere). Narrow and 16-bit text convert through the
// runtime's mbstowcs and wcstombs in the current locale; where the locale cannot convert a text,
// it is converted unit by unit instead (a byte widened as its unsigned value, a code unit above
// 255 narrowed to '?'), so a result never holds bytes that nothing wrote.
class XlfTextConversion {
public:
    // Converts the first n bytes of text into at most n code units at out; returns the number of
    // units written.
    static std::size_t NarrowToUnits(const char* text, std::size_t n, XCHAR* out);
    // Converts n code units into exactly n bytes at out; bytes the conversion did not fill (it
    // stops at a NUL unit, or produced fewer bytes) are NUL.
    static void UnitsToNarrow(const XCHAR* units, std::size_t n, char* out);

    // Code units copied whole; a wide character beyond 16 bits becomes U+FFFD.
    static void WideToUnits(const std::wstring& text, std::size_t n, XCHAR* out);
    // The units up to the first NUL unit (or all n).
    static std::wstring UnitsToWide(const XCHAR* units, std::size_t n);

private:
    static void NarrowUnitByUnit(const XCHAR* units, std::size_t n, char* out);
};

} // namespace vornix
