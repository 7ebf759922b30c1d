#include <vornix/XlfException.h>

namespace vornix {

XlfException::XlfException(const std::string& text) : text_(text) {}

// Defined here so that the type's identity for catch clauses lives in one unit.
XlfException::~XlfException() = default;

const char* XlfException::what() const noexcept {
    return text_.c_str();
}

} // namespace vornix
