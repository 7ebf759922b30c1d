#include "ReturnCode.h"
#include <vornix/XlfException.h>
#include <vornix/XlfExceptionAbort.h>
#include <vornix/XlfExceptionStackOverflow.h>
#include <vornix/XlfExceptionUncalculated.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <typeinfo>

using namespace vornix;

namespace {

int Apply(int code, const char* invalidCountText) {
    return ThrowOnReturnCodeWithoutContext(code, invalidCountText);
}
int Apply(int code, const std::string& context) {
    return ThrowOnReturnCode(code, context);
}

// "<exact type>: <what()>" of what the call throws, or "returned <code>".
template <typename Context> std::string Outcome(int code, const Context& context) {
    try {
        return "returned " + std::to_string(Apply(code, context));
    } catch (const std::exception& e) {
        const std::type_info& type = typeid(e);
        const char* name = type == typeid(XlfExceptionUncalculated)    ? "Uncalculated"
                           : type == typeid(XlfExceptionAbort)         ? "Abort"
                           : type == typeid(XlfExceptionStackOverflow) ? "StackOverflow"
                           : type == typeid(XlfException)              ? "XlfException"
                           : type == typeid(std::runtime_error)        ? "runtime_error"
                                                                       : "other";
        return std::string(name) + ": " + e.what();
    }
}

const char* const kPlural = "invalid number of arguments";
const std::string kN = "n";

TEST(XlfException, CopiesOwnTheirText) {
    const XlfException original("some text");
    const XlfException copy(original);
    EXPECT_STREQ(copy.what(), "some text");
    EXPECT_NE(copy.what(), original.what());
}

// Codes of later Excel versions (128 xlretNotThreadSafe, 256, 512) and anything else without a
// known bit are failures too: a conversion must never pass them off as success.
TEST(ThrowOnReturnCode, UnknownCodesThrowNamingTheCode) {
    EXPECT_EQ(Outcome(0, kPlural), "returned 0");
    EXPECT_EQ(Outcome(0, kN), "returned 0");
    EXPECT_EQ(Outcome(128, kPlural), "XlfException: Excel returned the unknown code 128");
    EXPECT_EQ(Outcome(256, kN), "XlfException: Excel returned the unknown code 256, n");
    EXPECT_EQ(Outcome(512, kPlural), "XlfException: Excel returned the unknown code 512");
    EXPECT_EQ(Outcome(-128, kN), "XlfException: Excel returned the unknown code -128, n");
    // A known bit still decides when unknown ones come with it.
    EXPECT_EQ(Outcome(0x80 | 0x20, kN), "runtime_error: command failed, n");
}

TEST(ThrowOnReturnCode, EachBitWithAndWithoutContext) {
    EXPECT_EQ(Outcome(0x40, kPlural), "Uncalculated: ");
    EXPECT_EQ(Outcome(0x40, kN), "Uncalculated: ");
    EXPECT_EQ(Outcome(0x01, kN), "Abort: abort");
    EXPECT_EQ(Outcome(0x10, kN), "StackOverflow: stack overflow");
    const std::string oper = "XlfException: invalid OPER structure (memory could be exhausted)";
    EXPECT_EQ(Outcome(0x08, kPlural), oper);
    EXPECT_EQ(Outcome(0x08, std::string(" conversion to matrix failed")),
              oper + ", conversion to matrix failed");
    EXPECT_EQ(Outcome(0x08, kN), oper + ",n");
    EXPECT_EQ(Outcome(0x20, kPlural), "runtime_error: command failed");
    EXPECT_EQ(Outcome(0x20, kN), "runtime_error: command failed, n");
    EXPECT_EQ(Outcome(0x04, kPlural), "runtime_error: invalid number of arguments");
    EXPECT_EQ(Outcome(0x04, "invalid number of argument"),
              "runtime_error: invalid number of argument");
    EXPECT_EQ(Outcome(0x04, kN), "runtime_error: invalid number of argument, n");
    EXPECT_EQ(Outcome(0x02, kPlural), "runtime_error: invalid function number");
    EXPECT_EQ(Outcome(0x02, kN), "runtime_error: invalid function number, n");
}

// The fixed order decides, whether the winning bit is the higher or the lower one.
TEST(ThrowOnReturnCode, FirstBitInOrderDecides) {
    EXPECT_EQ(Outcome(0x41, kPlural), "Uncalculated: ");
    EXPECT_EQ(Outcome(0x21, kPlural), "Abort: abort");
    EXPECT_EQ(Outcome(0x3E, kN), "StackOverflow: stack overflow");
    EXPECT_EQ(Outcome(0x28, kPlural),
              "XlfException: invalid OPER structure (memory could be exhausted)");
    EXPECT_EQ(Outcome(0x24, kN), "runtime_error: command failed, n");
    EXPECT_EQ(Outcome(0x86, kPlural), "runtime_error: invalid number of arguments");
}

TEST(TypeName, WholeTypeWordMustMatch) {
    const char* names[] = {"xltypeNum", "xltypeStr",   "xltypeBool",    "xltypeRef", "xltypeErr",
                           "unknown",   "xltypeMulti", "xltypeMissing", "xltypeNil"};
    for (unsigned bit = 0; bit < 9; ++bit)
        EXPECT_EQ(TypeName(1ul << bit), names[bit]);
    EXPECT_EQ(TypeName(0x0400), "xltypeSRef");
    EXPECT_EQ(TypeName(0x0800), "xltypeInt");
    EXPECT_EQ(TypeName(0x8001), "unknown"); // the Excel-owned mark counts
    EXPECT_EQ(TypeName(0x0003), "unknown");
    EXPECT_EQ(TypeName(0), "unknown");
}

} // namespace
