#include "XlfTextConversion.h"

#include <climits>
#include <cstdlib>
#include <cwchar>

namespace vornix {

namespace {

constexpr std::size_t Invalid = static_cast<std::size_t>(-1);
constexpr std::size_t Incomplete = static_cast<std::size_t>(-2);
constexpr bool WideIs32Bit = sizeof(wchar_t) > 2;

bool IsHighSurrogate(unsigned long unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(unsigned long unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUnits(unsigned long c, std::u16string& units) {
    if (WideIs32Bit && c > 0xFFFF && c <= 0x10FFFF) {
        c -= 0x10000;
        units.push_back(static_cast<XCHAR>(0xD800 + (c >> 10)));
        units.push_back(static_cast<XCHAR>(0xDC00 + (c & 0x3FF)));
    } else {
        units.push_back(static_cast<XCHAR>(c > 0xFFFF ? 0xFFFD : c));
    }
}

// Bytes of one wide character in the current locale; empty when the locale has none for it
// (the caller then narrows it on its own).
std::string CharacterBytes(wchar_t c, std::mbstate_t& state) {
    char bytes[MB_LEN_MAX]; // no heap for the few bytes of one character
    const std::size_t written = std::wcrtomb(bytes, c, &state);
    if (written == Invalid) {
        state = std::mbstate_t();
        return std::string();
    }
    return std::string(bytes, written);
}

std::string NarrowedOnItsOwn(unsigned long c) {
    return std::string(1, c > 0xFF ? '?' : static_cast<char>(static_cast<unsigned char>(c)));
}

// The character at units[i], joining a surrogate pair where wchar_t has 32 bits; i moves to the
// last unit read.
wchar_t CharacterAt(const XCHAR* units, std::size_t n, std::size_t& i) {
    const unsigned long unit = units[i];
    if (WideIs32Bit && IsHighSurrogate(unit) && i + 1 < n && IsLowSurrogate(units[i + 1])) {
        const unsigned long low = units[++i];
        return static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    }
    return static_cast<wchar_t>(unit);
}

} // namespace

std::u16string XlfTextConversion::NarrowToUnits(const char* text, std::size_t n) {
    std::u16string units;
    std::mbstate_t state = std::mbstate_t();
    std::size_t i = 0;
    while (i < n) {
        wchar_t c = 0;
        std::size_t taken = std::mbrtowc(&c, text + i, n - i, &state);
        if (taken == Invalid || taken == Incomplete) {
            state = std::mbstate_t();
            c = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
            taken = 1;
        } else if (taken == 0) {
            taken = 1; // the NUL byte
        }
        AppendUnits(static_cast<unsigned long>(c), units);
        i += taken;
    }
    return units;
}

std::string XlfTextConversion::UnitsToNarrow(const XCHAR* units, std::size_t n) {
    // Character by character, without a wide copy: short texts stay off the heap.
    std::string text;
    std::mbstate_t state = std::mbstate_t();
    for (std::size_t i = 0; i < n && units[i] != 0; ++i) {
        const wchar_t c = CharacterAt(units, n, i);
        const std::string bytes = CharacterBytes(c, state);
        text += bytes.empty() ? NarrowedOnItsOwn(static_cast<unsigned long>(c)) : bytes;
    }
    return text;
}

std::string XlfTextConversion::WideToNarrow(const std::wstring& text, std::size_t maxBytes,
                                            bool& cut) {
    std::string narrow;
    std::mbstate_t state = std::mbstate_t();
    cut = false;
    for (wchar_t c : text) {
        std::string bytes = CharacterBytes(c, state);
        if (bytes.empty())
            bytes = NarrowedOnItsOwn(static_cast<unsigned long>(c));
        if (narrow.size() + bytes.size() > maxBytes) {
            cut = true;
            break;
        }
        narrow += bytes;
    }
    return narrow;
}

std::u16string XlfTextConversion::WideToUnits(const std::wstring& text) {
    std::u16string units;
    units.reserve(text.size());
    for (wchar_t c : text)
        AppendUnits(static_cast<unsigned long>(c), units);
    return units;
}

std::wstring XlfTextConversion::UnitsToWide(const XCHAR* units, std::size_t n) {
    std::wstring text;
    for (std::size_t i = 0; i < n && units[i] != 0; ++i)
        text.push_back(CharacterAt(units, n, i));
    return text;
}

std::size_t XlfTextConversion::CharacterPrefix(const char* text, std::size_t n,
                                               std::size_t maxBytes) {
    std::mbstate_t state = std::mbstate_t();
    std::size_t end = 0;
    while (end < n) {
        std::size_t taken = std::mbrlen(text + end, n - end, &state);
        if (taken == Invalid || taken == Incomplete || taken == 0) {
            state = std::mbstate_t();
            taken = 1;
        }
        if (end + taken > maxBytes)
            break;
        end += taken;
    }
    return end;
}

std::size_t XlfTextConversion::UnitPrefix(const std::u16string& units, std::size_t maxUnits) {
    if (units.size() <= maxUnits)
        return units.size();
    return maxUnits > 0 && IsHighSurrogate(units[maxUnits - 1]) && IsLowSurrogate(units[maxUnits])
               ? maxUnits - 1
               : maxUnits;
}

} // namespace vornix
