// Base of the library's own exceptions: a text chosen by the thrower, returned by what().
#pragma once

#include <exception>
#include <string>

namespace vornix {

class XlfException : public std::exception {
public:
    explicit XlfException(const std::string& text);
    ~XlfException() override;

    const char* what() const noexcept override;

private:
    std::string text_;
};

} // namespace vornix
