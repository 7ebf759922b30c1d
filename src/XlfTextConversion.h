#pragma once

#include <vornix/ExcelApi.h>

#include <cstddef>
#include <string>

namespace vornix {

// Text conversions between the process's narrow texts, Excel 12's 16-bit code units and
// std::wstring (16-bit on Windows, 32-bit elsewhere). Narrow text converts character by character
// in the current locale (mbrtowc, wcrtomb), so that a multibyte character is counted as the units
// or bytes it really takes and is never cut in two; the basic execution characters (letters,
// digits, C's punctuation), which every locale writes as their own single byte, convert without
// the library call. A character the locale cannot convert is converted on its own instead: a
// byte widened as its unsigned value, a unit above 255 narrowed to '?', so a result never holds
// bytes that nothing wrote.
class XlfTextConversion {
public:
    // The code units of the first n bytes of text (a NUL byte converts to a NUL unit).
    static std::u16string NarrowToUnits(const char* text, std::size_t n);
    // The narrow text of n code units, up to the first NUL unit.
    static std::string UnitsToNarrow(const XCHAR* units, std::size_t n);
    // The narrow text of a wide text, whole characters only and at most maxBytes bytes; cut tells
    // whether characters were left out.
    static std::string WideToNarrow(const std::wstring& text, std::size_t maxBytes, bool& cut);

    // Code units of a wide text; a character beyond 16 bits (where wchar_t has 32) becomes a
    // surrogate pair.
    static std::u16string WideToUnits(const std::wstring& text);
    // The units up to the first NUL unit (or all n); surrogate pairs join where wchar_t has 32
    // bits.
    static std::wstring UnitsToWide(const XCHAR* units, std::size_t n);

    // The longest start of text (n bytes) of at most maxBytes bytes that ends between characters.
    static std::size_t CharacterPrefix(const char* text, std::size_t n, std::size_t maxBytes);
    // The longest start of units of at most maxUnits that does not split a surrogate pair.
    static std::size_t UnitPrefix(const std::u16string& units, std::size_t maxUnits);
};

} // namespace vornix
