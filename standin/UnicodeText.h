// Conversions between the encodings texts come in: UTF-8 (xlhost's command line, files and
// output), UTF-16 (Excel 12 records and the stand-in's values) and Windows code page 1252 (Excel
// 4 records, as Excel 2007 and later convert texts for them), independent of any locale.
#pragma once

#include <cstddef>
#include <string>

namespace xlstandin {

class UnicodeText {
public:
    // Stands for what cannot be decoded.
    static constexpr char16_t Replacement = 0xFFFD;

    // Where the text stops being UTF-8 (a byte offset), or npos for valid UTF-8.
    static std::size_t InvalidUtf8At(const std::string& utf8);
    // Invalid sequences become Replacement, one for each byte.
    static std::u16string FromUtf8(const std::string& utf8);
    // Unpaired surrogates become Replacement.
    static std::string ToUtf8(const std::u16string& utf16);
    // Characters of a UTF-8 text before a byte offset.
    static std::size_t CharactersBefore(const std::string& utf8, std::size_t offset);

    // Windows code page 1252: each byte stands for one character; the five bytes the code page
    // leaves unassigned stand for the control characters of their value, as Windows converts
    // them. A character the code page has no byte for becomes "?".
    static char16_t FromCodePage1252(unsigned char byte);
    static char ToCodePage1252(char16_t character);

    // Names compared without regard to case: ASCII, Latin-1, Greek and Cyrillic capitals
    // become small letters.
    static std::u16string Lower(std::u16string text);
};

} // namespace xlstandin
