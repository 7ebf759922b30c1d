// Record operations carve what they build from the temporary memory handed to them: no gateway is
// needed or made, and copies of Excel 4 and Excel 12 texts and arrays land in that memory.
#include "XlfRecordOps.h"
#include "XlfRecordText.h"
#include <vornix/XlfExcel.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

template <typename Record> class XlfRecordOpsTest : public ::testing::Test {
protected:
    using Ops = vornix::XlfRecordOps<Record>;
    using Text = vornix::XlfRecordText<Record>;

    vornix::XlfTemporaryMemory memory;
};

using Layouts = ::testing::Types<XLOPER, XLOPER12>;
TYPED_TEST_SUITE(XlfRecordOpsTest, Layouts);

TYPED_TEST(XlfRecordOpsTest, RecordsTakeTheirMemoryFromTheAllocatorHandedIn) {
    using Records = typename TestFixture::Ops;
    TypeParam text;
    Records::MakeNil(text);
    ASSERT_TRUE(
        TestFixture::Text::SetNarrow(this->memory, text, "abc", vornix::XlfLog::String4Truncated));
    TypeParam* array = Records::NewRecord(this->memory);
    ASSERT_NE(array, nullptr);
    Records::SetMulti(this->memory, *array, 1, 2);
    Records::SetElement(this->memory, Records::Element(array, 0, 1), &text);
    const std::uint32_t used = this->memory.Offset();

    const TypeParam* copy = Records::CopyRecord(this->memory, *array);
    EXPECT_GT(this->memory.Offset(), used);
    EXPECT_NE(copy->val.array.lparray, array->val.array.lparray);
    const TypeParam& element = Records::Element(copy, 0, 1);
    ASSERT_EQ(element.xltype, xltypeStr);
    EXPECT_NE(element.val.str, text.val.str);
    EXPECT_STREQ(TestFixture::Text::AsNarrow(this->memory, element.val.str), "abc");
    EXPECT_EQ(vornix::XlfExcel::Existing(), nullptr);
}

} // namespace
