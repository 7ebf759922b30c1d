#include "XlfTextConversion.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace vornix {

namespace {

constexpr std::size_t ConversionFailed = static_cast<std::size_t>(-1);

XCHAR WideToUnit(wchar_t c) {
    const auto value = static_cast<unsigned long>(c);
    return value > 0xFFFF ? XCHAR{0xFFFD} : static_cast<XCHAR>(value);
}

} // namespace

std::size_t XlfTextConversion::NarrowToUnits(const char* text, std::size_t n, XCHAR* out) {
    // mbstowcs reads a terminated text: convert a terminated copy of exactly the n bytes.
    std::string source(text, n);
    std::vector<wchar_t> wide(n + 1, L'\0');
    const std::size_t converted = std::mbstowcs(wide.data(), source.c_str(), n);
    if (converted == ConversionFailed) {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<XCHAR>(static_cast<unsigned char>(text[i]));
        return n;
    }
    for (std::size_t i = 0; i < converted; ++i)
        out[i] = WideToUnit(wide[i]);
    return converted;
}

void XlfTextConversion::UnitsToNarrow(const XCHAR* units, std::size_t n, char* out) {
    std::wstring source;
    source.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        source.push_back(static_cast<wchar_t>(units[i]));
    std::memset(out, 0, n);
    const std::size_t converted = std::wcstombs(out, source.c_str(), n);
    if (converted == ConversionFailed)
        NarrowUnitByUnit(units, n, out);
}

void XlfTextConversion::NarrowUnitByUnit(const XCHAR* units, std::size_t n, char* out) {
    for (std::size_t i = 0; i < n; ++i)
        out[i] = units[i] > 0xFF ? '?' : static_cast<char>(static_cast<unsigned char>(units[i]));
}

void XlfTextConversion::WideToUnits(const std::wstring& text, std::size_t n, XCHAR* out) {
    for (std::size_t i = 0; i < n; ++i)
        out[i] = WideToUnit(text[i]);
}

std::wstring XlfTextConversion::UnitsToWide(const XCHAR* units, std::size_t n) {
    std::wstring text;
    for (std::size_t i = 0; i < n && units[i] != 0; ++i)
        text.push_back(static_cast<wchar_t>(units[i]));
    return text;
}

} // namespace vornix
