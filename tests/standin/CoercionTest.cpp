// xlCoerce through both entries: Excel's conversions between numbers, texts, booleans, errors,
// arrays and references.
#include "LayoutTest.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

template <typename Record> class CoercionTest : public LayoutTest<Record> {};
TYPED_TEST_SUITE(CoercionTest, RecordLayouts, LayoutNames);

// Excel's own texts for numbers, in every band of its rules. Whole numbers up to 20 digits and
// fractions up to 20 characters are written out (not "1E+15" or "1E-07" as once assumed).
TYPED_TEST(CoercionTest, NumbersBecomeTextAsExcelWritesThem) {
    const std::pair<double, const char*> cases[] = {
        {5.25, "5.25"},
        {-6.75, "-6.75"},
        {10, "10"},
        {2.5, "2.5"},
        {0, "0"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"},
        {123.456, "123.456"},
        {123456789012.0, "123456789012"},
        {999999999999999, "999999999999999"},
        {1e15, "1000000000000000"},
        {999999999999999.9, "1000000000000000"},
        // Exactly halfway at the 16th digit: half up, not to even.
        {1000000000000005.0, "1000000000000010"},
        {123456789012345678.0, "123456789012346000"},
        {99999999999999900000.0, "99999999999999900000"},
        {1e20, "1E+20"},
        {-1.5e20, "-1.5E+20"},
        {1e100, "1E+100"},
        {0.000001, "0.000001"},
        {0.0000012345, "0.0000012345"},
        {0.0000001, "0.0000001"},
        {-1.5e-7, "-0.00000015"},
        {1.5e-10, "0.00000000015"},
        // "0." and 17 zeros and one digit are 20 characters; one zero more is too many.
        {1e-18, "0.000000000000000001"},
        {1e-19, "1E-19"},
        {1.0 / 70000, "1.42857142857143E-05"},
        {std::ldexp(1.0, -20), "9.5367431640625E-07"},
        {0.99999999999999994, "1"},
        {1.23456789012345e98, "1.23456789012345E+98"},
        {1.23456789012345e-98, "1.23456789012345E-98"},
        // Beyond an exponent of 98 the 15 rounded digits are rounded again to 14.
        {1.2345678901234567e99, "1.2345678901235E+99"},
        {1.23456789012355e99, "1.2345678901236E+99"},
        {1.23456789012345e-99, "1.2345678901235E-99"},
        {9.9999999999999996e98, "1E+99"},
        {std::numeric_limits<double>::max(), "1.7976931348623E+308"},
        {-std::numeric_limits<double>::max(), "-1.7976931348623E+308"},
        {std::numeric_limits<double>::min(), "2.2250738585072E-308"},
        {2.5e-300, "2.5E-300"},
        {std::numeric_limits<double>::denorm_min(), "0"},
        {-std::numeric_limits<double>::min() / 2, "0"},
    };
    for (const auto& example : cases) {
        EXPECT_EQ(example.second, this->CoercedText(this->kit.Num(example.first)))
            << "for " << example.first;
    }
}

TYPED_TEST(CoercionTest, TextBecomesNumberOnlyWhenTheWholeTextIsOne) {
    const std::pair<const char*, double> numbers[] = {
        {"2.5", 2.5}, {"  -6.75 ", -6.75}, {"+4", 4},      {".5", 0.5},
        {"5.", 5},    {"1E3", 1000},       {"1e-2", 0.01}, {"12.0", 12},
    };
    for (const auto& example : numbers) {
        auto* result = this->kit.Result();
        EXPECT_EQ(xlretSuccess, this->Coerce(this->kit.Str(example.first), xltypeNum, result))
            << example.first;
        EXPECT_EQ(xltypeNum, result->xltype);
        EXPECT_EQ(example.second, result->val.num) << example.first;
    }
    const char* const notNumbers[] = {"",  "  ", "12abc", "1 2", "1e",    "e5",
                                      ".", "-",  "0x10",  "1,5", "1E999", "TRUE"};
    for (const char* text : notNumbers) {
        auto* result = this->kit.Result();
        EXPECT_EQ(xlretFailed, this->Coerce(this->kit.Str(text), xltypeNum, result))
            << '"' << text << '"';
        EXPECT_EQ(xltypeMissing, result->xltype) << "a failed call leaves the result alone";
    }
}

TYPED_TEST(CoercionTest, TextWithEmbeddedNulIsNoNumber) {
    auto* result = this->kit.Result();
    EXPECT_EQ(xlretFailed, this->Coerce(this->kit.Str(std::string("7\0", 2)), xltypeNum, result));
}

TYPED_TEST(CoercionTest, BooleansMissingAndNil) {
    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Bool(true), xltypeNum, result));
    EXPECT_EQ(1, result->val.num);
    EXPECT_EQ("FALSE", this->CoercedText(this->kit.Bool(false)));
    EXPECT_EQ("TRUE", this->CoercedText(this->kit.Bool(true)));

    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Str("tRuE"), xltypeBool, result));
    EXPECT_EQ(xltypeBool, result->xltype);
    EXPECT_EQ(1, result->val.xbool);
    EXPECT_EQ(xlretFailed, this->Coerce(this->kit.Str("yes"), xltypeBool, result));
    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Num(-0.5), xltypeBool, result));
    EXPECT_EQ(1, result->val.xbool);

    for (auto* empty : {this->kit.Missing(), this->kit.Nil()}) {
        ASSERT_EQ(xlretSuccess, this->Coerce(empty, xltypeNum, result));
        EXPECT_EQ(0, result->val.num);
        ASSERT_EQ(xlretSuccess, this->Coerce(empty, xltypeBool, result));
        EXPECT_EQ(xltypeBool, result->xltype);
        EXPECT_EQ(0, result->val.xbool);
        EXPECT_EQ("", this->CoercedText(empty));
    }
}

TYPED_TEST(CoercionTest, ErrorsConvertToNothingElse) {
    auto* result = this->kit.Result();
    for (DWORD type : {xltypeNum, xltypeStr, xltypeBool, xltypeInt, xltypeNum | xltypeStr}) {
        EXPECT_EQ(xlretFailed, this->Coerce(this->kit.Err(xlerrDiv0), type, result)) << type;
    }
    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Err(xlerrNA), xltypeErr | xltypeNum, result));
    EXPECT_EQ(xltypeErr, result->xltype);
    EXPECT_EQ(xlerrNA, result->val.err);
    EXPECT_EQ(xlretFailed, this->Coerce(this->kit.Num(1), xltypeErr, result));
}

// The library reads Excel's version this way: the workspace text, then an integer.
TYPED_TEST(CoercionTest, IntegersAreTruncatedWithinTheLayoutsRange) {
    auto* result = this->kit.Result();
    const std::pair<double, int> cases[] = {{2.9, 2}, {-2.9, -2}, {32767, 32767}, {-32768, -32768}};
    for (const auto& example : cases) {
        ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Num(example.first), xltypeInt, result));
        EXPECT_EQ(xltypeInt, result->xltype);
        EXPECT_EQ(example.second, result->val.w);
    }
    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Str("12.0"), xltypeInt, result));
    EXPECT_EQ(12, result->val.w);
    EXPECT_EQ(this->IsExcel12 ? xlretSuccess : xlretFailed,
              this->Coerce(this->kit.Num(40000), xltypeInt, result));
}

TYPED_TEST(CoercionTest, SourceKeepsItsTypeWhenAllowedAndOtherwiseNumberComesFirst) {
    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess,
              this->Coerce(this->kit.Str("42"), xltypeNum | xltypeStr | xltypeBool, result));
    ASSERT_EQ(xltypeStr, result->xltype);
    EXPECT_EQ("42", TextOf(*result));
    this->Free(result);

    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Bool(true), xltypeNum | xltypeStr, result));
    EXPECT_EQ(xltypeNum, result->xltype);
    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Num(2), xltypeBool | xltypeInt, result));
    EXPECT_EQ(xltypeInt, result->xltype);
    ASSERT_EQ(xlretSuccess,
              this->Coerce(this->kit.Str("x"), xltypeNum | xltypeBool | xltypeStr, result));
    EXPECT_EQ(xltypeStr, result->xltype);
    this->Free(result);
    EXPECT_EQ(xlretFailed, this->Coerce(this->kit.Str("x"), xltypeNum | xltypeBool, result));
}

TYPED_TEST(CoercionTest, ArraysGiveTheirFirstElementToScalarsAndScalarsBecomeOneCell) {
    auto* array = this->kit.Multi(1, 2, {this->kit.Str(" 7 "), this->kit.Num(2)});
    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Coerce(array, xltypeNum, result));
    EXPECT_EQ(7, result->val.num);

    ASSERT_EQ(xlretSuccess, this->Coerce(this->kit.Num(3.5), xltypeMulti, result));
    ASSERT_EQ(xltypeMulti, result->xltype);
    ASSERT_EQ(1, result->val.array.rows);
    ASSERT_EQ(1, result->val.array.columns);
    EXPECT_EQ(xltypeNum, result->val.array.lparray[0].xltype);
    EXPECT_EQ(3.5, result->val.array.lparray[0].val.num);
    this->Free(result);

    ASSERT_EQ(xlretSuccess, this->Coerce(array, xltypeMulti, result));
    ASSERT_EQ(2, result->val.array.columns);
    EXPECT_EQ(" 7 ", TextOf(result->val.array.lparray[0]));
    this->Free(result);
}

TYPED_TEST(CoercionTest, ReferencesAreReadFromTheSheet) {
    using xlstandin::HostValue;
    auto& sheet = this->Excel().Sheet();
    sheet.SetCell(sheet.CurrentSheet(), 0, 0, HostValue::Number(5.25));
    sheet.SetCell(sheet.CurrentSheet(), 0, 1, HostValue::Text("abc"));
    sheet.SetCell(7, 2, 3, HostValue::Boolean(true));

    EXPECT_EQ("5.25", this->CoercedText(this->kit.SRef(0, 0, 0, 0)));
    EXPECT_EQ("5.25", this->CoercedText(this->kit.SRef(0, 1, 0, 1))) << "first cell of a range";
    EXPECT_EQ("TRUE", this->CoercedText(this->kit.Ref(7, {this->kit.SRef(2, 2, 3, 3)})));
    EXPECT_EQ("", this->CoercedText(this->kit.SRef(9, 9, 9, 9))) << "an empty cell";

    auto* result = this->kit.Result();
    EXPECT_EQ(xlretFailed, this->Coerce(this->kit.Ref(1, {this->kit.SRef(0, 0, 0, 0),
                                                          this->kit.SRef(1, 1, 1, 1)}),
                                        xltypeNum, result))
        << "several areas";

    // Without a wanted type a reference gives its values; a range an array with Nil for
    // empty cells.
    ASSERT_EQ(xlretSuccess, this->Call(xlCoerce, result, {this->kit.SRef(0, 0, 0, 2)}));
    ASSERT_EQ(xltypeMulti, result->xltype);
    ASSERT_EQ(3, result->val.array.columns);
    EXPECT_EQ(5.25, result->val.array.lparray[0].val.num);
    EXPECT_EQ("abc", TextOf(result->val.array.lparray[1]));
    EXPECT_EQ(xltypeNil, result->val.array.lparray[2].xltype);
    this->Free(result);

    // A reference stays one when references are asked for.
    ASSERT_EQ(xlretSuccess,
              this->Coerce(this->kit.Ref(7, {this->kit.SRef(2, 4, 3, 5)}), xltypeRef, result));
    ASSERT_EQ(xltypeRef, result->xltype);
    EXPECT_EQ(7u, result->val.mref.idSheet);
    ASSERT_EQ(1, result->val.mref.lpmref->count);
    EXPECT_EQ(4, result->val.mref.lpmref->reftbl[0].rwLast);
    EXPECT_EQ(5, result->val.mref.lpmref->reftbl[0].colLast);
    this->Free(result);
}

TYPED_TEST(CoercionTest, BadTypeArgumentsFail) {
    auto* result = this->kit.Result();
    EXPECT_EQ(xlretFailed, this->Coerce(this->kit.Num(1), 0, result));
    EXPECT_EQ(xlretFailed, this->Call(xlCoerce, result, {this->kit.Num(1), this->kit.Str("2")}));
}

} // namespace
