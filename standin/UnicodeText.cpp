#include "UnicodeText.h"

#include <cstdint>

namespace xlstandin {

namespace {

// Code page 1252's characters for the bytes 0x80 to 0x9F; the unassigned ones keep their value.
constexpr char16_t highControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The code point of the sequence at text[at], and its length; 0 for an invalid sequence.
std::size_t DecodeOne(const std::string& text, std::size_t at, char32_t& point) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) {
        return 0;
    }
    point = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if (!IsContinuation(next)) {
            return 0;
        }
        point = (point << 6) | (next & 0x3F);
    }
    const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return point < least || point > 0x10FFFF || surrogate ? 0 : length;
}

void AppendUtf8(char32_t point, std::string& out) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

char16_t LowerOne(char16_t c) {
    const bool latin = (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
    const bool greek = c >= 0x391 && c <= 0x3A9 && c != 0x3A2;
    const bool cyrillic = c >= 0x410 && c <= 0x42F;
    if (latin || greek || cyrillic) {
        return static_cast<char16_t>(c + 0x20);
    }
    return c >= 0x400 && c <= 0x40F ? static_cast<char16_t>(c + 0x50) : c;
}

} // namespace

std::size_t UnicodeText::InvalidUtf8At(const std::string& utf8) {
    char32_t point = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = DecodeOne(utf8, at, point);
        if (length == 0) {
            return at;
        }
        at += length;
    }
    return std::string::npos;
}

std::u16string UnicodeText::FromUtf8(const std::string& utf8) {
    std::u16string utf16;
    char32_t point = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = DecodeOne(utf8, at, point);
        if (length == 0) {
            utf16 += Replacement;
            ++at;
        } else if (point >= 0x10000) {
            utf16 += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
            at += length;
        } else {
            utf16 += static_cast<char16_t>(point);
            at += length;
        }
    }
    return utf16;
}

std::string UnicodeText::ToUtf8(const std::u16string& utf16) {
    std::string utf8;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (utf16[++i] - 0xDC00), utf8);
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(Replacement, utf8);
        } else {
            AppendUtf8(unit, utf8);
        }
    }
    return utf8;
}

std::size_t UnicodeText::CharactersBefore(const std::string& utf8, std::size_t offset) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < offset && at < utf8.size(); ++at) {
        characters += IsContinuation(static_cast<unsigned char>(utf8[at])) ? 0 : 1;
    }
    return characters;
}

char16_t UnicodeText::FromCodePage1252(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? highControls[byte - 0x80] : byte;
}

char UnicodeText::ToCodePage1252(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<char>(character);
    }
    for (std::size_t i = 0; i < 32; ++i) {
        if (highControls[i] == character) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

std::u16string UnicodeText::Lower(std::u16string text) {
    for (char16_t& c : text) {
        c = LowerOne(c);
    }
    return text;
}

} // namespace xlstandin
