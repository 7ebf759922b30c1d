#include "TypeText.h"

#include <algorithm>
#include <cstring>

namespace xlstandin {

namespace {

const char* const letters = "ABCDEFGHIJKLMNOPQRUX";
const char* const widened = "CDFGKO"; // letters that take "%" for their Excel 12 form
const char* const modifierCharacters = "!#$&";
// Codes an in-place result may name: those passed by pointer that the function can write.
const char* const inPlaceCodes[] = {"C", "D", "E", "F", "F%", "G", "G%", "K", "K%",
                                    "L", "M", "N", "O", "O%", "P", "Q",  "R", "U"};
// Codes Excel 2007 (version 12) introduced.
const char* const excel12Codes[] = {"C%", "D%", "F%", "G%", "K%", "O%", "Q", "U"};

bool IsOneOf(char c, const char* set) {
    return c != '\0' && std::strchr(set, c) != nullptr;
}

template <std::size_t N> bool IsListed(const std::string& code, const char* const (&list)[N]) {
    return std::find(std::begin(list), std::end(list), code) != std::end(list);
}

bool IsResultOnly(char c) {
    return (c >= '1' && c <= '9') || c == '>';
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

bool TypeText::Parse(const std::string& text, int version, bool throughExcel12, TypeText& parsed,
                     std::string& reason) {
    const std::string what = "type text " + Quoted(text) + ": ";
    TypeText result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool first = result.types_.empty();
        if (IsOneOf(c, modifierCharacters)) {
            result.modifiers_ += c;
        } else if (!result.modifiers_.empty() && (IsOneOf(c, letters) || c == '%')) {
            reason = what + "code " + std::string(1, c) + " after the modifiers";
            return false;
        } else if (IsOneOf(c, letters) || (first && IsResultOnly(c))) {
            result.types_.emplace_back(1, c);
        } else if (IsResultOnly(c)) {
            reason = what + std::string(1, c) + " stands for the result only";
            return false;
        } else if (c == '%' && !first && result.types_.back().size() == 1 &&
                   IsOneOf(result.types_.back()[0], widened)) {
            result.types_.back() += c;
        } else {
            reason = what + "unknown letter " + std::string(1, c);
            return false;
        }
    }
    if (result.types_.empty()) {
        reason = what + "no result code";
        return false;
    }
    if (!result.Check(version, throughExcel12, reason)) {
        reason = what + reason;
        return false;
    }
    parsed = result;
    return true;
}

bool TypeText::CanBeInPlace(const std::string& code) {
    return IsListed(code, inPlaceCodes);
}

std::size_t TypeText::InPlaceArgument() const {
    const char c = ResultType()[0];
    return c >= '1' && c <= '9' ? static_cast<std::size_t>(c - '0') : 0;
}

bool TypeText::IsAsynchronous() const {
    return std::find(types_.begin() + 1, types_.end(), "X") != types_.end();
}

// The rules Excel's REGISTER documentation gives for codes, modifiers and versions.
bool TypeText::Check(int version, bool throughExcel12, std::string& reason) const {
    const std::size_t most = version >= 12 ? MaxArguments : MaxArgumentsBefore12;
    if (ArgumentCount() > most) {
        reason = std::to_string(ArgumentCount()) + " arguments, Excel " + std::to_string(version) +
                 " takes at most " + std::to_string(most);
        return false;
    }
    for (const std::string& code : types_) {
        if (version < 12 && IsListed(code, excel12Codes)) {
            reason = code + " needs Excel 12 or later";
            return false;
        }
        if (version < 14 && code == "X") {
            reason = "X needs Excel 14 or later"; // asynchronous functions came with Excel 2010
            return false;
        }
    }
    const bool macroSheet = IsMacroSheetEquivalent();
    if (IsThreadSafe() && (version < 12 || macroSheet)) {
        reason = version < 12 ? "$ needs Excel 12 or later" : "$ cannot go with #";
        return false;
    }
    if (IsClusterSafe()) {
        if (version < 14 || macroSheet || !throughExcel12) {
            reason = version < 14 ? "& needs Excel 14 or later"
                     : macroSheet ? "& cannot go with #"
                                  : "& is registered through Excel12 only";
            return false;
        }
        const auto reference = std::find_if(types_.begin() + 1, types_.end(), [](const auto& t) {
            return t == "P" || t == "R" || t == "U" || t == "X";
        });
        if (reference != types_.end()) {
            reason = "& cannot go with " + *reference + " arguments";
            return false;
        }
    }
    return CheckResult(reason);
}

bool TypeText::CheckResult(std::string& reason) const {
    const std::string& result = ResultType();
    if (result == "O" || result == "O%" || result == "X") {
        reason = result + " cannot be the result";
        return false;
    }
    if (IsAsynchronous() && result != ">") {
        reason = "an asynchronous function (X) returns nothing (>)";
        return false;
    }
    if (std::count(types_.begin() + 1, types_.end(), "X") > 1) {
        reason = "X more than once";
        return false;
    }
    const std::size_t inPlace = InPlaceArgument();
    if (inPlace == 0) {
        return true;
    }
    if (inPlace > ArgumentCount()) {
        reason = "result " + result + " names no argument";
        return false;
    }
    if (!CanBeInPlace(types_[inPlace])) {
        reason = "result " + result + " names a " + types_[inPlace] +
                 " argument, which cannot be modified in place";
        return false;
    }
    return true;
}

} // namespace xlstandin
