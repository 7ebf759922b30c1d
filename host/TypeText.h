// A registration type text such as "QQB!": the result's type letter, then one per argument,
// then flags ("!" volatile, "$" thread-safe, "#" macro-sheet equivalent, "&" cluster-safe).
#pragma once

#include <string>
#include <vector>

namespace xlstandin {

class TypeText {
public:
    // False when the text is empty, holds a letter Excel does not know, or has letters after
    // the flags.
    static bool Parse(const std::string& text, TypeText& parsed);

    const std::string& ResultType() const { return types_.front(); }
    std::vector<std::string> ArgumentTypes() const { return {types_.begin() + 1, types_.end()}; }
    std::size_t ArgumentCount() const { return types_.size() - 1; }
    bool IsVolatile() const { return flags_.find('!') != std::string::npos; }
    bool IsThreadSafe() const { return flags_.find('$') != std::string::npos; }

private:
    std::vector<std::string> types_; // "B", "Q", "C%", ...
    std::string flags_;
};

} // namespace xlstandin
