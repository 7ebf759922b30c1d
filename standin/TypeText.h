// A registration type text such as "QQB!": the result's code, then one code per argument, then
// modifiers ("!" volatile, "#" macro-sheet equivalent, "$" thread-safe, "&" cluster-safe). A code
// is a letter, a letter with "%" for its Excel 12 form ("C%"), or, for the result only, a digit
// 1-9 (the result is the named argument, modified in place) or ">" (no result).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace xlstandin {

class TypeText {
public:
    // Most arguments a function may take: 255 from Excel 2007 (version 12) on, 30 before.
    static constexpr std::size_t MaxArguments = 255;
    static constexpr std::size_t MaxArgumentsBefore12 = 30;

    // Reads the text as Excel of the given major version takes it. False with the reason when
    // Excel refuses it: unknown or misplaced codes, codes or modifiers the version does not
    // know, modifiers that exclude each other, too many arguments.
    static bool Parse(const std::string& text, int version, bool throughExcel12, TypeText& parsed,
                      std::string& reason);

    // Whether an argument of this code can carry an in-place result (a pointer Excel reads back).
    static bool CanBeInPlace(const std::string& code);

    const std::string& ResultType() const { return types_.front(); }
    std::vector<std::string> ArgumentTypes() const { return {types_.begin() + 1, types_.end()}; }
    std::size_t ArgumentCount() const { return types_.size() - 1; }
    // The argument (1-based) an in-place result is read from; 0 when the function returns it.
    std::size_t InPlaceArgument() const;
    bool ReturnsNothing() const { return ResultType() == ">"; }
    bool IsAsynchronous() const;
    bool IsVolatile() const { return HasModifier('!'); }
    bool IsMacroSheetEquivalent() const { return HasModifier('#'); }
    bool IsThreadSafe() const { return HasModifier('$'); }
    bool IsClusterSafe() const { return HasModifier('&'); }

private:
    bool HasModifier(char modifier) const { return modifiers_.find(modifier) != std::string::npos; }
    bool Check(int version, bool throughExcel12, std::string& reason) const;
    bool CheckResult(std::string& reason) const;

    std::vector<std::string> types_; // "B", "Q", "C%", "1", ">", ...
    std::string modifiers_;
};

} // namespace xlstandin
