// UTF-8, UTF-16 and code page 1252 conversions, whatever the locale.
#include "UnicodeText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using xlstandin::UnicodeText;

TEST(UnicodeText, Utf8AndUtf16RoundTripEveryPlane) {
    const std::string utf8 = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";
    const std::u16string utf16 = u"a\u00E4\u20AC\U0001F600";
    EXPECT_EQ(utf16, UnicodeText::FromUtf8(utf8));
    EXPECT_EQ(utf8, UnicodeText::ToUtf8(utf16));
    EXPECT_EQ(std::string("\0x", 2), UnicodeText::ToUtf8(std::u16string(u"\0x", 2)));
    EXPECT_EQ("\xEF\xBF\xBD"
              "b",
              UnicodeText::ToUtf8(u"\xD800"
                                  u"b"))
        << "a lone surrogate";
}

TEST(UnicodeText, InvalidUtf8IsFoundAndReplacedByteByByte) {
    EXPECT_EQ(std::string::npos, UnicodeText::InvalidUtf8At("ok \xC3\xA4"));
    EXPECT_EQ(2u, UnicodeText::InvalidUtf8At("ab\xE4(1)")) << "a Latin-1 byte";
    EXPECT_EQ(0u, UnicodeText::InvalidUtf8At("\xC0\x80")) << "an overlong NUL";
    EXPECT_EQ(0u, UnicodeText::InvalidUtf8At("\xED\xA0\x80")) << "an encoded surrogate";
    EXPECT_EQ(1u, UnicodeText::InvalidUtf8At("a\xE2\x82")) << "cut short";
    EXPECT_EQ(u"a\uFFFD\uFFFDb", UnicodeText::FromUtf8("a\xE2\x82"
                                                       "b"));
    EXPECT_EQ(3u, UnicodeText::CharactersBefore("M\xC3\xA4\xE2\x82\xAC(", 6));
}

TEST(UnicodeText, CodePage1252BothWays) {
    EXPECT_EQ(u'\u20AC', UnicodeText::FromCodePage1252(0x80));
    EXPECT_EQ(u'\u0178', UnicodeText::FromCodePage1252(0x9F));
    EXPECT_EQ(u'\u0081', UnicodeText::FromCodePage1252(0x81)) << "unassigned: its own value";
    EXPECT_EQ(u'\u00E9', UnicodeText::FromCodePage1252(0xE9));
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t character = UnicodeText::FromCodePage1252(static_cast<unsigned char>(byte));
        EXPECT_EQ(static_cast<char>(byte), UnicodeText::ToCodePage1252(character)) << byte;
    }
    EXPECT_EQ('?', UnicodeText::ToCodePage1252(u'\u03A9'));
    EXPECT_EQ('?', UnicodeText::ToCodePage1252(u'\u0080')) << "a control 1252 has no byte for";
}

TEST(UnicodeText, LowerFoldsLatinGreekAndCyrillicCapitals) {
    EXPECT_EQ(u"abc\u00E4\u00FE\u00D7\u03C9\u0430\u044F\u0450\u00DF",
              UnicodeText::Lower(u"ABC\u00C4\u00DE\u00D7\u03A9\u0410\u042F\u0400\u00DF"));
}

} // namespace
