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

// The basic execution character set: the null character, the alert, backspace, tab, line feed,
// vertical tab, form feed and carriage return controls, the space, the letters, the digits and
// the graphic characters of C source. In every locale each of them is one byte in the initial
// shift state and its wide value is that byte's value, so it converts without asking the locale.
struct BasicCharacterSet {
    bool member[0x80];
};

constexpr BasicCharacterSet MakeBasicCharacterSet() {
    BasicCharacterSet set{};
    const char members[] = "\a\b\t\n\v\f\r abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                           "0123456789!\"#%&'()*+,-./:;<=>?[\\]^_{|}~";
    for (const char c : members)
        set.member[static_cast<unsigned char>(c)] = true; // the closing NUL is a member too
    return set;
}

constexpr BasicCharacterSet BasicCharacters = MakeBasicCharacterSet();

bool IsBasicCharacter(unsigned long c) {
    return c < 0x80 && BasicCharacters.member[c];
}

#ifndef __STDC_MB_MIGHT_NEQ_WC__
constexpr bool BasicCharactersConvertAlone = true;
#else
constexpr bool BasicCharactersConvertAlone = false;
#endif

// The locale's conversion state through a text, and whether it is the initial shift state, in
// which a basic character converts without the library call.
class ShiftState {
public:
    std::mbstate_t& State() { return state_; }
    bool Initial() const { return initial_; }
    // After the library converted a character: whether it left the initial shift state.
    void Converted() { initial_ = std::mbsinit(&state_) != 0; }
    // After a character the locale could not convert.
    void Reset() {
        state_ = std::mbstate_t();
        initial_ = true;
    }

private:
    std::mbstate_t state_ = std::mbstate_t();
    bool initial_ = true;
};

// Writes the bytes of one wide character in the current locale to bytes (room for MB_LEN_MAX)
// and returns their count. A character the locale cannot convert is narrowed on its own: a unit
// above 255 becomes '?'.
std::size_t WriteNarrow(unsigned long c, ShiftState& shift, char* bytes) {
    if (BasicCharactersConvertAlone && shift.Initial() && IsBasicCharacter(c)) {
        bytes[0] = static_cast<char>(c);
        return 1;
    }
    const std::size_t written = std::wcrtomb(bytes, static_cast<wchar_t>(c), &shift.State());
    if (written == Invalid) {
        shift.Reset();
        bytes[0] = c > 0xFF ? '?' : static_cast<char>(static_cast<unsigned char>(c));
        return 1;
    }
    shift.Converted();
    return written;
}

// Reads the character that starts text (n > 0 bytes left) in the current locale into c and
// returns the bytes it takes, at least 1: a NUL byte is a character of its own, and a byte that
// starts no whole character is widened on its own, as its unsigned value.
std::size_t ReadWide(const char* text, std::size_t n, ShiftState& shift, wchar_t& c) {
    const auto first = static_cast<unsigned char>(text[0]);
    if (BasicCharactersConvertAlone && shift.Initial() && IsBasicCharacter(first)) {
        c = static_cast<wchar_t>(first);
        return 1;
    }
    const std::size_t taken = std::mbrtowc(&c, text, n, &shift.State());
    if (taken == Invalid || taken == Incomplete) {
        shift.Reset();
        c = static_cast<wchar_t>(first);
        return 1;
    }
    shift.Converted();
    return taken == 0 ? 1 : taken;
}

// Writes the one or two code units of a character to units and returns their count.
std::size_t WriteUnits(unsigned long c, XCHAR* units) {
    if (WideIs32Bit && c > 0xFFFF && c <= 0x10FFFF) {
        c -= 0x10000;
        units[0] = static_cast<XCHAR>(0xD800 + (c >> 10));
        units[1] = static_cast<XCHAR>(0xDC00 + (c & 0x3FF));
        return 2;
    }
    units[0] = static_cast<XCHAR>(c > 0xFFFF ? 0xFFFD : c);
    return 1;
}

// Collects what the conversions write, a character at a time, in a block on the stack and
// appends it to the result a block at a time. The room always holds Slack more elements.
template <typename String, std::size_t Slack> class BlockWriter {
public:
    using Element = typename String::value_type;

    explicit BlockWriter(String& out) : out_(out) {}
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    Element* Room() { return block_ + used_; }
    void Wrote(std::size_t n) {
        used_ += n;
        if (used_ >= BlockSize) {
            Flush();
        }
    }
    // What the result holds once flushed.
    std::size_t Size() const { return out_.size() + used_; }
    void Flush() {
        out_.append(block_, used_);
        used_ = 0;
    }

private:
    static constexpr std::size_t BlockSize = 64;

    String& out_;
    Element block_[BlockSize + Slack];
    std::size_t used_ = 0;
};

using NarrowWriter = BlockWriter<std::string, MB_LEN_MAX>;
using UnitWriter = BlockWriter<std::u16string, 2>;

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
    units.reserve(n); // a character takes at least as many bytes as units
    UnitWriter writer(units);
    ShiftState shift;
    for (std::size_t i = 0; i < n;) {
        wchar_t c = 0;
        i += ReadWide(text + i, n - i, shift, c);
        writer.Wrote(WriteUnits(static_cast<unsigned long>(c), writer.Room()));
    }
    writer.Flush();
    return units;
}

std::string XlfTextConversion::UnitsToNarrow(const XCHAR* units, std::size_t n) {
    // Character by character, without a wide copy: short texts stay off the heap.
    std::string text;
    NarrowWriter writer(text);
    ShiftState shift;
    for (std::size_t i = 0; i < n && units[i] != 0; ++i) {
        const auto c = static_cast<unsigned long>(CharacterAt(units, n, i));
        writer.Wrote(WriteNarrow(c, shift, writer.Room()));
    }
    writer.Flush();
    return text;
}

std::string XlfTextConversion::WideToNarrow(const std::wstring& text, std::size_t maxBytes,
                                            bool& cut) {
    std::string narrow;
    NarrowWriter writer(narrow);
    ShiftState shift;
    cut = false;
    for (wchar_t c : text) {
        const std::size_t written =
            WriteNarrow(static_cast<unsigned long>(c), shift, writer.Room());
        if (writer.Size() + written > maxBytes) {
            cut = true;
            break;
        }
        writer.Wrote(written);
    }
    writer.Flush();
    return narrow;
}

std::u16string XlfTextConversion::WideToUnits(const std::wstring& text) {
    std::u16string units;
    units.reserve(text.size());
    UnitWriter writer(units);
    for (wchar_t c : text)
        writer.Wrote(WriteUnits(static_cast<unsigned long>(c), writer.Room()));
    writer.Flush();
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
    ShiftState shift;
    std::size_t end = 0;
    while (end < n) {
        wchar_t c = 0;
        const std::size_t taken = ReadWide(text + end, n - end, shift, c);
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
