// Excel's counted texts: the first unit holds the length and the text follows unterminated.
// Excel 4 texts are bytes with a byte prefix, Excel 12 texts 16-bit units with a 16-bit prefix.
// This class owns all arithmetic on those prefixes.
#pragma once

#include "UnicodeText.h"
#include <vornix/ExcelApi.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace xlstandin {

template <typename Unit> class CountedText {
public:
    // Longest text a record of this layout carries; Excel 12 keeps texts to 32767 units.
    static constexpr std::size_t MaxLength = sizeof(Unit) == 1 ? 255 : 32767;

    static std::size_t Length(const Unit* counted) { return UnitValue(counted[0]); }

    // Length of the text as a record stores it.
    static std::size_t StoredLength(const std::u16string& text) {
        return text.size() < MaxLength ? text.size() : MaxLength;
    }

    // Units of a buffer that holds a text of the given length with its prefix.
    static constexpr std::size_t BufferUnits(std::size_t length) { return length + 1; }

    // The counted units as 16-bit units; bytes are characters of code page 1252.
    static std::u16string Read(const Unit* counted) {
        std::u16string text(Length(counted), u'\0');
        for (std::size_t i = 0; i < text.size(); ++i) {
            text[i] = Widen(counted[i + 1]);
        }
        return text;
    }

    // Writes prefix and text into a buffer of BufferUnits(length) units, where length is the
    // text's length cut to MaxLength. Bytes hold characters of code page 1252, "?" for others.
    static void Write(const std::u16string& text, Unit* buffer) {
        const std::size_t length = StoredLength(text);
        buffer[0] = static_cast<Unit>(length);
        for (std::size_t i = 0; i < length; ++i) {
            buffer[i + 1] = Narrow(text[i]);
        }
    }

    // A NUL-terminated text, read up to its NUL or MaxLength units, whichever comes first.
    static std::u16string ReadTerminated(const Unit* text) {
        std::u16string read;
        for (std::size_t i = 0; i < MaxLength && text[i] != 0; ++i) {
            read.push_back(Widen(text[i]));
        }
        return read;
    }

    // Writes the text and a NUL into a buffer of at least text.size() + 1 units.
    static void WriteTerminated(const std::u16string& text, Unit* buffer) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            buffer[i] = Narrow(text[i]);
        }
        buffer[text.size()] = 0;
    }

private:
    static std::size_t UnitValue(char unit) { return static_cast<unsigned char>(unit); }
    static std::size_t UnitValue(char16_t unit) { return static_cast<std::uint16_t>(unit); }

    static char16_t Widen(char unit) {
        return UnicodeText::FromCodePage1252(static_cast<unsigned char>(unit));
    }
    static char16_t Widen(char16_t unit) { return unit; }

    static Unit Narrow(char16_t unit) {
        if (sizeof(Unit) == 1) {
            return static_cast<Unit>(UnicodeText::ToCodePage1252(unit));
        }
        return static_cast<Unit>(unit);
    }
};

} // namespace xlstandin
