// The words xlhost finds for an add-in's crash.
#include "CrashText.h"

#include <gtest/gtest.h>

namespace {

using xlhost::CrashText;

TEST(CrashText, AccessViolationsNameTheAccessAndTheAddress) {
    EXPECT_EQ("access violation reading 0x00000000", CrashText::Describe(0xC0000005u, 0, 0, true));
    EXPECT_EQ("access violation writing 0x0000BEEF",
              CrashText::Describe(0xC0000005u, 1, 0xBEEF, true));
    EXPECT_EQ("access violation executing 0x7FFE12345678",
              CrashText::Describe(0xC0000005u, 8, 0x7FFE12345678ull, true));
    EXPECT_EQ("access violation", CrashText::Describe(0xC0000005u, 0, 0, false));
}

TEST(CrashText, OtherExceptionsByNameOrCode) {
    EXPECT_EQ("integer division by zero", CrashText::Describe(0xC0000094u, 0, 0, false));
    EXPECT_EQ("stack overflow", CrashText::Describe(0xC00000FDu, 0, 0, false));
    EXPECT_EQ("uncaught C++ exception (Microsoft C++)",
              CrashText::Describe(0xE06D7363u, 0, 0, false));
    EXPECT_EQ("uncaught C++ exception", CrashText::Describe(0x20474343u, 0, 0, false));
    EXPECT_EQ("exception 0xC0001234", CrashText::Describe(0xC0001234u, 0, 0, false));
}

TEST(CrashText, TheLineNamesWhere) {
    EXPECT_EQ("xlhost: add-in crashed in xlAutoOpen: access violation reading 0x00000000",
              CrashText::Line("xlAutoOpen", CrashText::Describe(0xC0000005u, 0, 0, true)));
}

} // namespace
