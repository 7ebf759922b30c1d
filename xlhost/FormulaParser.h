// Reads the formulas given to xlhost, UTF-8 texts: an optional "=", then NAME(ARGUMENT, ...). An
// argument is a number, a text in double quotes ("" for a quote), TRUE or FALSE, an error literal,
// an array of constants {1,2;3,4}, a reference (CellReference.h), a nested call, or nothing (a
// missing argument). Names, TRUE, FALSE and error literals are read without regard to case.
#pragma once

#include "CellReference.h"
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
    // References must lie within the grid.
    static bool Parse(const std::string& text, Expression& formula, std::string& reason,
                      const SheetGrid& grid = SheetGrid::Of(12));
    // A constant as an argument writes it (number, text, boolean, error, array), alone.
    static bool ParseValue(const std::string& text, xlstandin::HostValue& value,
                           std::string& reason);

private:
    FormulaParser(const std::string& text, const SheetGrid& grid) : text_(text), grid_(grid) {}

    // What read reads, with nothing after it; false with the reason otherwise.
    template <typename Result, typename Reader>
    bool ReadWhole(const char* what, Reader read, Result& result, std::string& reason);
    Expression ReadCall();
    Expression ReadArgument();
    Expression ReadNamed();
    bool ReadReference(Expression& reference);
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
    SheetGrid grid_;
    std::size_t position_ = 0;
    int depth_ = 0;
};

} // namespace xlhost
