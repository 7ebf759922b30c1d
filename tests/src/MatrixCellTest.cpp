#include <vornix/MatrixCell.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using vornix::MatrixCell;

namespace {

const std::string kNotString = "non string cell asked to be a string";
const std::string kNotWideString = "non wstring cell asked to be a wstring";
const std::string kNotNumber = "non number cell asked to be a number";
const std::string kNotBoolean = "non boolean cell asked to be a bool";
const std::string kNotError = "non error cell asked to be an error";

// The bare text a refused call throws; "" when it throws nothing.
template <typename Call> std::string Refusal(Call call) {
    try {
        call();
    } catch (const char* text) {
        return text;
    }
    return "";
}

// Names of all predicates that hold: exactly one kind must show.
std::string Kinds(const MatrixCell& c) {
    return std::string(c.IsStringCell() ? "String " : "") + (c.IsWideStringCell() ? "Wide " : "") +
           (c.IsNumberCell() ? "Number " : "") + (c.IsBooleanCell() ? "Boolean " : "") +
           (c.IsErrorCell() ? "Error " : "") + (c.IsEmptyCell() ? "Empty " : "");
}

unsigned long Strict(double number) {
    return static_cast<unsigned long>(MatrixCell(number));
}

TEST(MatrixCell, EmptyCellsRefuseEveryGetter) {
    MatrixCell emptied(7ul, true);
    emptied.MakeEmpty();
    for (const MatrixCell& cell : {MatrixCell(), emptied}) {
        EXPECT_EQ(Kinds(cell), "Empty ");
        EXPECT_EQ(Refusal([&] { cell.GetString(); }), kNotString);
        EXPECT_EQ(Refusal([&] { cell.GetWideString(); }), kNotWideString);
        EXPECT_EQ(Refusal([&] { cell.GetNumber(); }), kNotNumber);
        EXPECT_EQ(Refusal([&] { cell.GetBoolean(); }), kNotBoolean);
        EXPECT_EQ(Refusal([&] { cell.GetErrorCode(); }), kNotError);
        EXPECT_EQ(Refusal([&] { cell.GetLowerString(); }), kNotString);
        EXPECT_EQ(Refusal([&] { cell.GetLowerWideString(); }), kNotString);
    }
}

TEST(MatrixCell, ConstructorsSetKindAndValue) {
    EXPECT_EQ(Kinds(std::string("ab")) + MatrixCell(std::string("ab")).GetString(), "String ab");
    EXPECT_EQ(Kinds("cd") + MatrixCell("cd").GetString(), "String cd");
    EXPECT_EQ(Kinds(std::wstring(L"w")), "Wide ");
    EXPECT_EQ(Kinds(2.5), "Number ");
    EXPECT_EQ(MatrixCell(-4).GetNumber(), -4.0);
    EXPECT_EQ(Kinds(false), "Boolean ");
    EXPECT_TRUE(MatrixCell(true).GetBoolean());

    const MatrixCell error(7ul, true);
    EXPECT_EQ(Kinds(error), "Error ");
    EXPECT_EQ(error.GetErrorCode(), 7ul);
    EXPECT_EQ(Refusal([&] { error.GetNumber(); }), kNotNumber);
    const MatrixCell number(7ul, false);
    EXPECT_EQ(Kinds(number), "Number ");
    EXPECT_EQ(number.GetNumber(), 7.0);
    EXPECT_EQ(Refusal([&] { number.GetErrorCode(); }), kNotError);
    EXPECT_EQ(MatrixCell(4294967295ul, false).GetNumber(), 4294967295.0);
}

TEST(MatrixCell, TextGettersConvertUnitByUnit) {
    EXPECT_EQ(MatrixCell(std::wstring(L"Ab")).GetString(), "Ab");
    EXPECT_EQ(MatrixCell(std::wstring{wchar_t(0x0141), wchar_t(0x01FF)}).GetString(), "A\xFF");
    EXPECT_EQ(Refusal([] { MatrixCell("s").GetWideString(); }), kNotWideString);
    EXPECT_EQ(Refusal([] { MatrixCell(1.0).GetString(); }), kNotString);

    EXPECT_EQ(MatrixCell("AbC-\xC0").GetLowerString(), "abc-\xC0");
    // Lower-cased before narrowing: U+0141 is no letter to tolower, then becomes the byte A.
    EXPECT_EQ(MatrixCell(std::wstring{L'Q', wchar_t(0x0141)}).GetLowerString(), "qA");
    const std::wstring signExtended{L'a', wchar_t(0xFF80), wchar_t(0xFFFF)};
    EXPECT_EQ(MatrixCell("A\x80\xFF").GetLowerWideString(), signExtended);
    const std::wstring wide{L'X', wchar_t(0x0141), wchar_t(0xFFFF)};
    EXPECT_EQ(MatrixCell(wide).GetLowerWideString(), (std::wstring{L'x', wide[1], wide[2]}));
    if (sizeof(wchar_t) > 2) { // wider units are kept to 16 bits
        const std::wstring beyond{static_cast<wchar_t>(0x10041)};
        EXPECT_EQ(MatrixCell(beyond).GetLowerWideString(), L"A");
    }
}

TEST(MatrixCell, StrictConversionsAcceptOneKindOnly) {
    EXPECT_EQ(static_cast<std::string>(MatrixCell("s")), "s");
    EXPECT_EQ(Refusal([] { static_cast<std::string>(MatrixCell(std::wstring(L"w"))); }),
              kNotString);
    EXPECT_EQ(static_cast<std::wstring>(MatrixCell(std::wstring(L"w"))), L"w");
    EXPECT_EQ(Refusal([] { static_cast<std::wstring>(MatrixCell("s")); }), kNotWideString);
    EXPECT_TRUE(static_cast<bool>(MatrixCell(true)));
    EXPECT_EQ(Refusal([] { static_cast<bool>(MatrixCell(1.0)); }), kNotBoolean);
    EXPECT_EQ(static_cast<double>(MatrixCell(-0.5)), -0.5);
    EXPECT_EQ(Refusal([] { static_cast<double>(MatrixCell(true)); }), kNotNumber);
    EXPECT_EQ(Refusal([] { static_cast<unsigned long>(MatrixCell(7ul, true)); }), kNotNumber);
}

TEST(MatrixCell, StrictUnsignedKeepsLow32BitsOfTheTruncatedNumber) {
    EXPECT_EQ(Strict(3.9), 3ul);
    EXPECT_EQ(Strict(-3.9), 0xFFFFFFFDul);
    EXPECT_EQ(Strict(4294967296.0 + 5.0), 5ul);
    EXPECT_EQ(Strict(9223372036854774784.0), 0xFFFFFC00ul); // largest double below 2^63
    // No 64-bit integer part: 0 rather than undefined behaviour.
    EXPECT_EQ(Strict(9223372036854775808.0), 0ul);
    EXPECT_EQ(Strict(-1e300), 0ul);
    EXPECT_EQ(Strict(std::numeric_limits<double>::infinity()), 0ul);
    EXPECT_EQ(Strict(std::nan("")), 0ul);
}

} // namespace
