#include "XlfTextConversion.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace vornix {

namespace {

constexpr std::size_t ConversionFailed = static_cast<std::size_t>(-1);

// Scratch room for a conversion: on the stack for the texts of everyday calls, on the heap only
// for long ones.
template <typename T> class ScratchBuffer {
public:
    explicit ScratchBuffer(std::size_t n) : data_(inline_) {
        if (n > InlineSize) {
            heap_.reset(new T[n]);
            data_ = heap_.get();
        }
    }
    ScratchBuffer(const ScratchBuffer&) = delete;
    ScratchBuffer& operator=(const ScratchBuffer&) = delete;

    T* Data() { return data_; }

private:
    static constexpr std::size_t InlineSize = 256;
    T inline_[InlineSize];
    std::unique_ptr<T[]> heap_;
    T* data_;
};

XCHAR WideToUnit(wchar_t c) {
    const auto value = static_cast<unsigned long>(c);
    return value > 0xFFFF ? XCHAR{0xFFFD} : static_cast<XCHAR>(value);
}

} // namespace

std::size_t XlfTextConversion::NarrowToUnits(const char* text, std::size_t n, XCHAR* out) {
    // mbstowcs reads a terminated text: convert a terminated copy of exactly the n bytes.
    ScratchBuffer<char> source(n + 1);
    if (n > 0)
        std::memcpy(source.Data(), text, n);
    source.Data()[n] = '\0';
    ScratchBuffer<wchar_t> wide(n + 1);
    const std::size_t converted = std::mbstowcs(wide.Data(), source.Data(), n);
    if (converted == ConversionFailed) {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<XCHAR>(static_cast<unsigned char>(text[i]));
        return n;
    }
    for (std::size_t i = 0; i < converted; ++i)
        out[i] = WideToUnit(wide.Data()[i]);
    return converted;
}

void XlfTextConversion::UnitsToNarrow(const XCHAR* units, std::size_t n, char* out) {
    ScratchBuffer<wchar_t> source(n + 1);
    for (std::size_t i = 0; i < n; ++i)
        source.Data()[i] = static_cast<wchar_t>(units[i]);
    source.Data()[n] = L'\0';
    std::memset(out, 0, n);
    const std::size_t converted = std::wcstombs(out, source.Data(), n);
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
