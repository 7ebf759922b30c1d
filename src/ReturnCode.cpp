#include "ReturnCode.h"

#include <vornix/ExcelApi.h>
#include <vornix/XlfException.h>
#include <vornix/XlfExceptionAbort.h>
#include <vornix/XlfExceptionStackOverflow.h>
#include <vornix/XlfExceptionUncalculated.h>

#include <stdexcept>

namespace vornix {

namespace {

// The texts that differ between the plain and the context form.
struct FailureTexts {
    std::string invalidOper;
    std::string failed;
    std::string invalidCount;
    std::string invalidFunction;
    std::string unknown;
};

// A code Excel may give that the table does not name (128 for a call a thread-safe function may
// not make, 256 and 512 in later versions, or anything else): still a failure, never success.
std::string UnknownCodeText(int code) {
    return "Excel returned the unknown code " + std::to_string(code);
}

[[noreturn]] void ThrowFirstBit(int code, const FailureTexts& texts) {
    if (code & xlretUncalced)
        throw XlfExceptionUncalculated();
    if (code & xlretAbort)
        throw XlfExceptionAbort();
    if (code & xlretStackOvfl)
        throw XlfExceptionStackOverflow();
    if (code & xlretInvXloper)
        throw XlfException(texts.invalidOper);
    if (code & xlretFailed)
        throw std::runtime_error(texts.failed);
    if (code & xlretInvCount)
        throw std::runtime_error(texts.invalidCount);
    if (code & xlretInvXlfn)
        throw std::runtime_error(texts.invalidFunction);
    throw XlfException(texts.unknown);
}

constexpr const char* kInvalidOper = "invalid OPER structure (memory could be exhausted)";
constexpr const char* kFailed = "command failed";
constexpr const char* kInvalidFunction = "invalid function number";

} // namespace

int ThrowOnReturnCodeWithoutContext(int code, const char* invalidCountText) {
    // Success is the common case: no text is built unless something is thrown.
    if (code == 0)
        return code;
    ThrowFirstBit(
        code, {kInvalidOper, kFailed, invalidCountText, kInvalidFunction, UnknownCodeText(code)});
}

int ThrowOnReturnCode(int code, const std::string& context) {
    if (code == 0)
        return code;
    ThrowFirstBit(code,
                  {kInvalidOper + std::string(",") + context, kFailed + std::string(", ") + context,
                   "invalid number of argument, " + context,
                   kInvalidFunction + std::string(", ") + context,
                   UnknownCodeText(code) + ", " + context});
}

std::string TypeName(unsigned long typeWord) {
    struct Entry {
        DWORD type;
        const char* name;
    };
    static const Entry kNames[] = {
        {xltypeNum, "xltypeNum"},         {xltypeStr, "xltypeStr"}, {xltypeBool, "xltypeBool"},
        {xltypeRef, "xltypeRef"},         {xltypeErr, "xltypeErr"}, {xltypeMulti, "xltypeMulti"},
        {xltypeMissing, "xltypeMissing"}, {xltypeNil, "xltypeNil"}, {xltypeSRef, "xltypeSRef"},
        {xltypeInt, "xltypeInt"},
    };
    for (const Entry& entry : kNames)
        if (entry.type == typeWord)
            return entry.name;
    return "unknown";
}

} // namespace vornix
