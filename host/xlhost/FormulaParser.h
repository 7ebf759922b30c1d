// Reads the formulas given to xlhost, UTF-8 texts: an optional "=", then NAME(ARGUMENT, ...). An
// argument is a number, a text in double quotes ("" for a quote), TRUE or FALSE, an error literal,
// an array of constants {1,2;3,4}, a nested call, or nothing (a missing argument). Names, TRUE,
// FALSE and error literals are read without regard to case.
#pragma once

#include "Expression.h"

#include <cstddef>
#include <string>

namespace xlhost {

class FormulaParser {
public:
    // Calls nest at most this deep, the outermost counting one, as in Excel.
    static constexpr int MaxDepth = 64;

    // False with the reason, which names the column where reading stopped, when the text is no
    // formula, or names no column for a formula nested deeper than MaxDepth.
    static bool Parse(const std::string& text, Expression& formula, std::string& reason);

private:
    explicit FormulaParser(const std::string& text) : text_(text) {}

    Expression ReadCall();
    Expression ReadArgument();
    Expression ReadNamed();
    xlstandin::HostValue ReadConstant();
    xlstandin::HostValue ReadNumber();
    xlstandin::HostValue ReadText();
    xlstandin::HostValue ReadError();
    xlstandin::HostValue ReadArray();
    std::string ReadName();

    char Peek(); // next character after blanks, or '\0' at the end
    std::string Character() const;
    void Expect(char wanted); // consumes wanted (after blanks) or fails
    [[noreturn]] void Fail(const std::string& what) const;
    [[noreturn]] static void FailWhole(const std::string& what);

    const std::string& text_;
    std::size_t position_ = 0;
    int depth_ = 0;
};

} // namespace xlhost
