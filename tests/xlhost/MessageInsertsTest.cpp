// Windows' load error texts with their inserts filled in or left out.
#include "MessageInserts.h"

#include <gtest/gtest.h>

namespace {

using xlhost::MessageInserts;

TEST(MessageInserts, TheFirstInsertNamesTheFile) {
    EXPECT_EQ("Bad EXE format for Z:\\a.xll.",
              MessageInserts::Fill("Bad EXE format for %1.", "Z:\\a.xll"));
    EXPECT_EQ("Z:\\a.xll is not a valid Win32 application.",
              MessageInserts::Fill("%1 is not a valid Win32 application.", "Z:\\a.xll"));
    EXPECT_EQ("a b a", MessageInserts::Fill("%1!s! b %1", "a"));
}

TEST(MessageInserts, OtherInsertsAreLeftOutAndOtherTextStays) {
    EXPECT_EQ("needs in a", MessageInserts::Fill("needs %2 in %1", "a"));
    EXPECT_EQ("needs", MessageInserts::Fill("needs %12!d!", "a"));
    EXPECT_EQ("100% done, %0 and %x stay", MessageInserts::Fill("100% done, %0 and %x stay", "a"));
    EXPECT_EQ("ends in %", MessageInserts::Fill("ends in %", "a"));
    EXPECT_EQ("", MessageInserts::Fill("", "a"));
}

} // namespace
