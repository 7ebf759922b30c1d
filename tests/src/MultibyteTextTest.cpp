// Texts in a locale whose characters take several bytes (UTF-8), in both record layouts: every
// buffer is sized from what the conversion produced, no character is cut in two at a limit, and
// the counts are of what was written. Skipped where the machine has no UTF-8 locale.
#include "GatewayTest.h"
#include "XlfTextConversion.h"
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cwchar>
#include <string>

using vornix::XlfOper;
using vornix::XlfTextConversion;

namespace {

// Switches the process to a UTF-8 locale for the test and back afterwards.
class Utf8Locale {
public:
    Utf8Locale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
            if (std::setlocale(LC_ALL, name) != nullptr) {
                active_ = true;
                return;
            }
    }
    ~Utf8Locale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

#define REQUIRE_UTF8(locale)                                                                       \
    const Utf8Locale locale;                                                                       \
    if (!locale.Active())                                                                          \
    GTEST_SKIP() << "no UTF-8 locale on this machine"

const char* const cafe = "caf\xc3\xa9";      // café
const char* const ete = "\xc3\xa9t\xc3\xa9"; // été
const char* const grin = "\xf0\x9f\x98\x80"; // U+1F600, two code units
const std::wstring grinWide = L"\U0001F600";

class Excel12TextTest : public GatewayTest<Excel12Mode> {
protected:
    static const XCHAR* Counted(const XlfOper& oper) { return RecordOf(oper)->val.str; }
};

template <typename Mode> class Excel4TextTest : public GatewayTest<Mode> {
protected:
    static std::string CountedText(const XlfOper& oper) {
        const char* counted = GatewayTest<Mode>::RecordOf(oper)->val.str;
        return std::string(counted + 1, static_cast<unsigned char>(counted[0]));
    }
};
using Excel4Versions = ::testing::Types<Excel4Mode, Excel14Mode>;
TYPED_TEST_SUITE(Excel4TextTest, Excel4Versions);

TEST_F(Excel12TextTest, NarrowTextsReadBackWhole) {
    REQUIRE_UTF8(locale);
    const XlfOper text(cafe);
    ASSERT_EQ(Counted(text)[0], 4); // units written, not bytes given
    EXPECT_EQ(Counted(text)[4], 0x00E9);
    EXPECT_STREQ(text.AsString(), cafe);
    EXPECT_STREQ(XlfOper(std::wstring(L"caf\u00e9")).AsString(), cafe);
    EXPECT_STREQ(ExcelText("abc").AsString(), "abc");
}

TEST_F(Excel12TextTest, CharactersBeyondSixteenBitsAreSurrogatePairs) {
    REQUIRE_UTF8(locale);
    const XlfOper narrow(grin), wide(grinWide);
    for (const XlfOper* text : {&narrow, &wide}) {
        ASSERT_EQ(Counted(*text)[0], 2);
        EXPECT_EQ(Counted(*text)[1], 0xD83D);
        EXPECT_EQ(Counted(*text)[2], 0xDE00);
        EXPECT_STREQ(text->AsString(), grin);
        EXPECT_EQ(text->AsWideString(), grinWide);
    }
}

TEST_F(Excel12TextTest, TheLimitNeverSplitsAPair) {
    const XlfOper text(std::wstring(32766, L'a') + grinWide);
    EXPECT_EQ(Counted(text)[0], 32766);
    EXPECT_EQ(Counted(text)[32766], u'a');
}

TYPED_TEST(Excel4TextTest, WideTextsCountTheBytesWritten) {
    REQUIRE_UTF8(locale);
    const XlfOper text(std::wstring(L"\u00e9t\u00e9"));
    EXPECT_EQ(this->CountedText(text), ete);
    EXPECT_EQ(text.AsWideString(), L"\u00e9t\u00e9");
    EXPECT_STREQ(text.AsString(), ete);
}

TYPED_TEST(Excel4TextTest, LimitsCutBetweenCharacters) {
    REQUIRE_UTF8(locale);
    const std::wstring manyWide = L"a" + std::wstring(200, L'\u00e9');
    testing::internal::CaptureStderr();
    const XlfOper wide(manyWide);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlfOperImpl4(813): String truncated to 255 bytes\n");
    std::string expected = "a";
    for (int i = 0; i < 127; ++i)
        expected += "\xc3\xa9";
    EXPECT_EQ(this->CountedText(wide), expected); // 255 bytes, all characters whole

    std::string manyNarrow = "a";
    for (int i = 0; i < 200; ++i)
        manyNarrow += "\xc3\xa9";
    testing::internal::CaptureStderr();
    const XlfOper narrow(manyNarrow);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlfOperImpl4(782): String truncated to 254 bytes\n");
    // 253 bytes of whole characters: one more would pass the 254-byte cut.
    EXPECT_EQ(this->CountedText(narrow), expected.substr(0, 253));
}

TYPED_TEST(Excel4TextTest, ExcelTextsReadBackWide) {
    REQUIRE_UTF8(locale);
    EXPECT_EQ(this->ExcelText(cafe).AsWideString(), L"caf\u00e9");
    // An invalid byte is widened as it is, the rest converts.
    EXPECT_EQ(this->ExcelText("\xff\xc3\xa9").AsWideString(), L"\u00ff\u00e9");
}

// The "C" locale has single-byte characters only: each byte or unit converts on its own.
TEST(XlfTextConversion, CLocaleConvertsUnitByUnit) {
    ASSERT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
    EXPECT_EQ(XlfTextConversion::NarrowToUnits("caf\xe9", 4), u"caf\u00e9");
    const std::u16string units = u"\u0141od\u017a";
    EXPECT_EQ(XlfTextConversion::UnitsToNarrow(units.data(), units.size()), "?od?");
    bool cut = true;
    EXPECT_EQ(XlfTextConversion::WideToNarrow(L"ab\u00e9c", 3, cut), "ab\xe9");
    EXPECT_TRUE(cut);
    EXPECT_EQ(XlfTextConversion::WideToNarrow(L"ab", 3, cut), "ab");
    EXPECT_FALSE(cut);
    EXPECT_EQ(XlfTextConversion::CharacterPrefix("abcdef", 6, 4), 4u);
    const std::u16string stop = u"ab\0cd";
    EXPECT_EQ(XlfTextConversion::UnitsToWide(stop.data(), 5), L"ab");
}

TEST(XlfTextConversion, PrefixesEndBetweenCharacters) {
    REQUIRE_UTF8(locale);
    EXPECT_EQ(XlfTextConversion::CharacterPrefix(ete, 5, 4), 3u);
    EXPECT_EQ(XlfTextConversion::CharacterPrefix(ete, 5, 2), 2u);
    EXPECT_EQ(XlfTextConversion::CharacterPrefix(ete, 5, 1), 0u);
    const std::u16string pair = u"a\U0001F600";
    EXPECT_EQ(XlfTextConversion::UnitPrefix(pair, 2), 1u);
    EXPECT_EQ(XlfTextConversion::UnitPrefix(pair, 3), 3u);
    EXPECT_EQ(XlfTextConversion::UnitPrefix(pair, 1), 1u);
}

// Letters, digits and C's punctuation convert without asking the locale; every other character
// between them still goes through it, and a text converts the same wherever the two meet.
TEST(XlfTextConversion, PlainAndMultibyteCharactersMixWithinOneText) {
    REQUIRE_UTF8(locale);
    const std::string narrow = "a\xc3\xa9$b\xf0\x9f\x98\x80.@\xe2\x82\xac`7";
    const std::u16string units = u"a\u00e9$b\U0001F600.@\u20ac`7";
    EXPECT_EQ(XlfTextConversion::NarrowToUnits(narrow.data(), narrow.size()), units);
    EXPECT_EQ(XlfTextConversion::UnitsToNarrow(units.data(), units.size()), narrow);
    bool cut = false;
    EXPECT_EQ(XlfTextConversion::WideToNarrow(L"a\u00e9$b\U0001F600.@\u20ac`7", 12, cut),
              narrow.substr(0, 11));
    EXPECT_TRUE(cut);
    EXPECT_EQ(XlfTextConversion::CharacterPrefix(narrow.data(), narrow.size(), 8), 5u);
    EXPECT_EQ(XlfTextConversion::CharacterPrefix(narrow.data(), narrow.size(), 9), 9u);
    // Bytes that start no whole character are widened on their own, between plain ones too.
    EXPECT_EQ(XlfTextConversion::NarrowToUnits("a\xff_\0c\xc3", 6),
              std::u16string(u"a\u00ff_\0c\u00c3", 6));
    // Beyond the few units a string holds in place.
    const std::string longText = std::string(300, 'x') + "\xc3\xa9";
    EXPECT_EQ(XlfTextConversion::NarrowToUnits(longText.data(), longText.size()),
              std::u16string(300, u'x') + u"\u00e9");
}

// What the locale itself makes of each 7-bit character, one at a time, is what the conversions
// give, in the "C" locale and in a UTF-8 one.
void ExpectSevenBitCharactersAsTheLocaleConvertsThem() {
    for (unsigned c = 1; c < 0x80; ++c) {
        SCOPED_TRACE(c);
        const char byte = static_cast<char>(c);
        std::mbstate_t state = std::mbstate_t();
        wchar_t wide = 0;
        ASSERT_EQ(std::mbrtowc(&wide, &byte, 1, &state), 1u);
        EXPECT_EQ(XlfTextConversion::NarrowToUnits(&byte, 1), std::u16string(1, wide));
        char bytes[MB_LEN_MAX];
        state = std::mbstate_t();
        const std::size_t written = std::wcrtomb(bytes, static_cast<wchar_t>(c), &state);
        ASSERT_NE(written, static_cast<std::size_t>(-1));
        const XCHAR unit = static_cast<XCHAR>(c);
        EXPECT_EQ(XlfTextConversion::UnitsToNarrow(&unit, 1), std::string(bytes, written));
    }
}

TEST(XlfTextConversion, SevenBitCharactersConvertAsTheLocaleConvertsThem) {
    ASSERT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
    ExpectSevenBitCharactersAsTheLocaleConvertsThem();
    REQUIRE_UTF8(locale);
    ExpectSevenBitCharactersAsTheLocaleConvertsThem();
}

} // namespace
