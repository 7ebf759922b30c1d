// Turns the return code of an Excel call into the library's exception, and names value types
// in messages. Shared by both value wrappers so that the rule lives in one place.
#pragma once

#include <string>

namespace vornix {

// Excel return codes are bit sets. The first of these bits present, in this order, decides what
// is thrown: 0x40 XlfExceptionUncalculated, 0x01 XlfExceptionAbort, 0x10
// XlfExceptionStackOverflow, 0x08 XlfException, 0x20, 0x04 and 0x02 std::runtime_error. Any
// other non-zero code (none of the seven bits) throws XlfException naming the code, so that no
// conversion reports success without a value. Returns 0 for 0.
//
// Plain form: the wrapper supplies its own text for 0x04 (the two wrappers differ in it). Named
// apart from the context form, so that a literal context cannot pick it by mistake.
int ThrowOnReturnCodeWithoutContext(int code, const char* invalidCountText);

// Context form: the texts for 0x08, 0x20, 0x04, 0x02 and unknown codes end with the context.
int ThrowOnReturnCode(int code, const std::string& context);

// Name of an Excel type word, compared whole (any other bit included); "unknown" when none
// matches.
std::string TypeName(unsigned long typeWord);

} // namespace vornix
