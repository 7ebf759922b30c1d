// What only the Excel 4 records do: byte texts with a length byte and their two limits, 16-bit
// values, counts and reference bounds. Excel 2010 and later run these records too.
#include "GatewayTest.h"
#include <vornix/XlfException.h>
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using vornix::CellMatrix;
using vornix::MatrixCell;
using vornix::XlfException;
using vornix::XlfOper;
using vornix::XlfRange;

namespace {

template <typename Mode> class XlfOperImpl4Test : public GatewayTest<Mode> {
protected:
    static const char* Counted(const XlfOper& oper) {
        return GatewayTest<Mode>::RecordOf(oper)->val.str;
    }
    static unsigned LengthByte(const XlfOper& oper) {
        return static_cast<unsigned char>(Counted(oper)[0]);
    }
    // Bytes the record counts, length byte excluded.
    static std::string CountedText(const XlfOper& oper) {
        return std::string(Counted(oper) + 1, LengthByte(oper));
    }
    // A text of n distinct-looking bytes, so that a shifted or short copy shows.
    static std::string Letters(std::size_t n) {
        std::string text(n, ' ');
        for (std::size_t i = 0; i < n; ++i)
            text[i] = static_cast<char>('a' + i % 26);
        return text;
    }
    // Runs make and returns what it wrote to the error stream.
    template <typename Make> static std::string Logged(Make make) {
        testing::internal::CaptureStderr();
        make();
        return testing::internal::GetCapturedStderr();
    }
};

using Excel4Versions = ::testing::Types<Excel4Mode, Excel14Mode>;
TYPED_TEST_SUITE(XlfOperImpl4Test, Excel4Versions);

// Excel reads a counted text at its count: a counted NUL would be a character of the text, so
// =bin_Dec2Bin(5,0)="101" would be FALSE and LEN one too many. The NUL follows, uncounted.
TYPED_TEST(XlfOperImpl4Test, TextsKeep254BytesAndCountOnlyTheirCharacters) {
    const std::string source = this->Letters(300);
    XlfOper cut;
    EXPECT_EQ(this->Logged([&] { cut = XlfOper(source); }),
              "..\\..\\src\\XlfOperImpl4(782): String truncated to 254 bytes\n");
    EXPECT_EQ(this->LengthByte(cut), 254u);
    EXPECT_EQ(this->CountedText(cut), source.substr(0, 254));
    EXPECT_EQ(this->Counted(cut)[255], '\0');

    XlfOper longest;
    EXPECT_EQ(this->Logged([&] { longest = XlfOper(source.substr(0, 254)); }), "");
    EXPECT_EQ(this->LengthByte(longest), 254u);

    const XlfOper three("101");
    EXPECT_EQ(this->LengthByte(three), 3u);
    EXPECT_EQ(std::string(this->Counted(three), 5), std::string("\x03"
                                                                "101\0",
                                                                5));

    const XlfOper empty("");
    EXPECT_EQ(this->LengthByte(empty), 0u);
    EXPECT_EQ(this->Counted(empty)[1], '\0');
}

TYPED_TEST(XlfOperImpl4Test, WideTextsKeep255BytesWithoutANul) {
    XlfOper cut;
    EXPECT_EQ(this->Logged([&] { cut = XlfOper(std::wstring(256, L'w')); }),
              "..\\..\\src\\XlfOperImpl4(813): String truncated to 255 bytes\n");
    EXPECT_EQ(this->CountedText(cut), std::string(255, 'w'));
    XlfOper longest;
    EXPECT_EQ(this->Logged([&] { longest = XlfOper(std::wstring(255, L'w')); }), "");
    EXPECT_EQ(this->LengthByte(longest), 255u);
    // The length byte counts the bytes written; a NUL inside the text is a character like any
    // other and nothing after it is lost.
    const XlfOper inner(std::wstring(L"ab") + L'\0' + L"cd");
    EXPECT_EQ(this->CountedText(inner), std::string("ab\0cd", 5));
}

TYPED_TEST(XlfOperImpl4Test, SixteenBitValuesReadWholeWithoutExcel) {
    XlfOper flag(true);
    this->RecordOf(flag)->val.xbool = 0xFFFF;
    EXPECT_TRUE(flag.AsBool());
    EXPECT_TRUE(flag.AsCellMatrix()(0, 0).GetBoolean());
    EXPECT_EQ(XlfOper(short{-5}).AsDouble(), -5.0);
    EXPECT_EQ(this->CallCount(xlCoerce), 0);
}

TYPED_TEST(XlfOperImpl4Test, ReferencesCoverTheExcel4Grid) {
    const XlfRange area(3, 10, 2, 5, 9), largest(0, 65536, 0, 256, 4);
    XlfOper reference;
    this->Impl().SetRef(reference, area);
    EXPECT_EQ(reference.AsRef(), area);
    this->Impl().SetRef(reference, largest);
    EXPECT_EQ(reference.AsRef(), largest);
    const XLMREF* block = this->RecordOf(reference)->val.mref.lpmref;
    EXPECT_EQ(block->count, 1);
    EXPECT_EQ(block->reftbl[0].rwFirst, 0);
    EXPECT_EQ(block->reftbl[0].rwLast, 65535);
    EXPECT_EQ(block->reftbl[0].colFirst, 0);
    EXPECT_EQ(block->reftbl[0].colLast, 255);
    EXPECT_EQ(this->RecordOf(reference)->val.mref.idSheet, 4u);
}

TYPED_TEST(XlfOperImpl4Test, BoundsTheRecordCannotHoldAreRefusedNotWrapped) {
    XlfOper reference;
    this->Impl().SetRef(reference, XlfRange(1, 2, 1, 2, 5));
    const XLOPER before = *this->RecordOf(reference);
    EXPECT_THROW(this->Impl().SetRef(reference, XlfRange(0, 65537, 0, 1)), XlfException);
    EXPECT_THROW(this->Impl().SetRef(reference, XlfRange(0, 1, 0, 257)), XlfException);
    EXPECT_EQ(std::memcmp(this->RecordOf(reference), &before, sizeof before), 0);
    EXPECT_EQ(reference.AsRef(), XlfRange(1, 2, 1, 2, 5));

    XlfOper array;
    EXPECT_THROW(this->Impl().SetMulti(array, 70000, 1), XlfException);
    EXPECT_EQ(array.GetType(), xltypeNil);
    EXPECT_THROW(XlfOper(CellMatrix(70000, 1)), XlfException);
    this->Impl().SetMulti(array, 65535, 1);
    EXPECT_EQ(array.Rows(), 65535);
}

TYPED_TEST(XlfOperImpl4Test, OnlyTheExcel4RecordIsHandedOut) {
    const XlfOper number(1.0);
    EXPECT_EQ(static_cast<void*>(number.AsXLOPER()), number.AsValuePointer());
    try {
        number.AsXLOPER12();
        FAIL() << "no exception";
    } catch (const char* message) {
        EXPECT_STREQ(message, "Unable to convert Excel 4 datatype to Excel 12 datatype - operation "
                              "not yet implemented");
    }
}

TYPED_TEST(XlfOperImpl4Test, CellsHoldByteTexts) {
    const std::string bytes = this->Letters(200);
    const CellMatrix read = this->ExcelText(bytes).AsCellMatrix();
    ASSERT_TRUE(read(0, 0).IsStringCell());
    EXPECT_EQ(read(0, 0).GetString(), bytes);

    CellMatrix cells(1, 3);
    cells(0, 0) = MatrixCell(std::wstring(L"\u0141ab"));
    cells(0, 2) = MatrixCell(std::wstring(300, L'x'));
    XlfOper array;
    const std::string log = this->Logged([&] { array = XlfOper(cells); });
    EXPECT_EQ(log, "..\\..\\src\\XlfOperImpl4(782): String truncated to 254 bytes\n");
    ASSERT_EQ(array(0, 0).GetType(), xltypeStr);
    // Cell texts count no NUL either; an empty cell is the empty text (once one counted NUL).
    EXPECT_EQ(this->CountedText(array(0, 0)), "Aab");
    ASSERT_EQ(array(0, 1).GetType(), xltypeStr);
    EXPECT_EQ(this->LengthByte(array(0, 1)), 0u);
    EXPECT_EQ(this->CountedText(array(0, 2)), std::string(254, 'x'));
}

TYPED_TEST(XlfOperImpl4Test, TextsOfAllLengthsAndBytesReadBack) {
    const std::string longest = this->Letters(255);
    const char* text = this->ExcelText(longest).AsString();
    EXPECT_EQ(std::string(text, 256), longest + std::string(1, '\0'));
    // The C locale has no character for 0xE9: the byte is widened as it is.
    EXPECT_EQ(this->ExcelText("caf\xe9").AsWideString(), L"caf\u00e9");
}

} // namespace
