#include "FunctionRegistry.h"

#include "AsciiText.h"
#include "NumberText.h"
#include "UnicodeText.h"

#include <algorithm>

namespace xlstandin {

namespace {

// REGISTER's text arguments by position; the sixth is the macro type, the seventh the category
// (a text or a number), the eleventh and later are the argument helps.
struct TextArgument {
    std::size_t index;
    std::string Registration::*field;
};

constexpr TextArgument textArguments[] = {
    {0, &Registration::module},       {1, &Registration::procedure},
    {2, &Registration::typeText},     {3, &Registration::functionText},
    {4, &Registration::argumentText}, {7, &Registration::shortcut},
    {8, &Registration::helpTopic},    {9, &Registration::functionHelp},
};
constexpr std::size_t macroTypeIndex = 5;
constexpr std::size_t categoryIndex = 6;
constexpr std::size_t firstArgumentHelp = 10;

bool IsEmpty(const std::vector<HostValue>& arguments, std::size_t index) {
    return index >= arguments.size() || arguments[index].Is(HostValue::Kind::Missing) ||
           arguments[index].Is(HostValue::Kind::Nil);
}

// Excel's texts are counted, not terminated: every counted character belongs to the text, a NUL
// included.
bool ReadText(const std::vector<HostValue>& arguments, std::size_t index, std::string& text) {
    if (IsEmpty(arguments, index)) {
        text.clear();
        return true;
    }
    if (!arguments[index].Is(HostValue::Kind::Text)) {
        return false;
    }
    text = UnicodeText::ToUtf8(arguments[index].AsText());
    return true;
}

// Windows' narrow functions take names in the code page.
std::string Narrow(const std::string& utf8) {
    std::string narrow;
    for (char16_t unit : UnicodeText::FromUtf8(utf8)) {
        narrow += UnicodeText::ToCodePage1252(unit);
    }
    return narrow;
}

std::u16string Folded(const std::string& utf8) {
    return UnicodeText::Lower(UnicodeText::FromUtf8(utf8));
}

// Excel takes a number given as text, or a boolean, where it wants a number (the macro type "1"
// of many add-ins). Omitted or empty, the macro type is 1: a worksheet function.
bool ReadMacroType(const std::vector<HostValue>& arguments, int& macroType) {
    double number = 1;
    if (!IsEmpty(arguments, macroTypeIndex)) {
        const HostValue& value = arguments[macroTypeIndex];
        std::string text;
        if (value.Is(HostValue::Kind::Number) || value.Is(HostValue::Kind::Boolean)) {
            number = value.AsNumber();
        } else if (!ReadText(arguments, macroTypeIndex, text) ||
                   (!text.empty() && !NumberText::Parse(text, number))) {
            return false;
        }
    }
    if (number != 0 && number != 1 && number != 2) {
        return false;
    }
    macroType = static_cast<int>(number);
    return true;
}

// A category given by number is one of Excel's own.
bool ReadCategory(const std::vector<HostValue>& arguments, std::string& category) {
    static const char* const names[] = {
        "Financial",          "Date & Time", "Math & Trig",   "Text",        "Logical",
        "Lookup & Reference", "Database",    "Statistical",   "Information", "Commands",
        "DDE/External",       "Customizing", "Macro Control", "User Defined"};
    if (IsEmpty(arguments, categoryIndex) ||
        !arguments[categoryIndex].Is(HostValue::Kind::Number)) {
        return ReadText(arguments, categoryIndex, category);
    }
    const double number = arguments[categoryIndex].AsNumber();
    if (!(number >= 1 && number <= 14) || number != static_cast<int>(number)) {
        return false;
    }
    category = names[static_cast<int>(number) - 1];
    return true;
}

} // namespace

bool FunctionRegistry::ReadArguments(const std::vector<HostValue>& arguments,
                                     const RegistrationRules& rules, Registration& stored,
                                     std::string& reason) {
    for (const TextArgument& text : textArguments) {
        if (!ReadText(arguments, text.index, stored.*text.field)) {
            reason = "argument " + std::to_string(text.index + 1) + " is not a text";
            return false;
        }
    }
    for (std::size_t i = firstArgumentHelp; i < arguments.size(); ++i) {
        stored.argumentHelps.emplace_back();
        if (!ReadText(arguments, i, stored.argumentHelps.back())) {
            reason = "argument " + std::to_string(i + 1) + " is not a text";
            return false;
        }
    }
    if (!ReadCategory(arguments, stored.category)) {
        reason = "category is neither a text nor one of Excel's numbers 1 to 14";
        return false;
    }
    if (!ReadMacroType(arguments, stored.macroType)) {
        reason = "macro type is not 0, 1 or 2";
        return false;
    }
    if (stored.module.empty() || stored.procedure.empty()) {
        reason = "module or procedure missing";
        return false;
    }
    return TypeText::Parse(stored.typeText, rules.version, rules.throughExcel12, stored.types,
                           reason);
}

// A module already in the process (the add-in, or the executable itself) is used as it is;
// any other is loaded and kept loaded as Excel keeps add-ins. The loader takes C strings, so a
// module or procedure text with a NUL inside is looked up as far as that NUL.
bool FunctionRegistry::Resolve(Registration& stored, std::string& reason) {
    const std::string file = Narrow(stored.module);
    HMODULE module = GetModuleHandleA(file.c_str());
    if (module == nullptr) {
        module = LoadLibraryA(file.c_str());
        if (module == nullptr) {
            reason = "module \"" + stored.module + "\" not found";
            return false;
        }
        if (!loadedModules_.insert(module).second) {
            FreeLibrary(module);
        }
    }
    stored.address = GetProcAddress(module, Narrow(stored.procedure).c_str());
    if (stored.address == nullptr) {
        reason = "procedure \"" + stored.procedure + "\" not found in \"" + stored.module + "\"";
        return false;
    }
    return true;
}

std::vector<Registration>::iterator FunctionRegistry::FindProcedure(const std::string& module,
                                                                    const std::string& procedure) {
    return std::find_if(
        registrations_.begin(), registrations_.end(), [&](const Registration& known) {
            return LowerAscii(known.module) == LowerAscii(module) && known.procedure == procedure;
        });
}

const Registration* FunctionRegistry::Register(const std::vector<HostValue>& arguments,
                                               const RegistrationRules& rules,
                                               std::string& reason) {
    Registration stored;
    stored.wideTexts = rules.throughExcel12;
    if (!ReadArguments(arguments, rules, stored, reason) || !Resolve(stored, reason)) {
        return nullptr;
    }
    const auto same = FindProcedure(stored.module, stored.procedure);
    if (same != registrations_.end()) {
        stored.id = same->id;
        stored.useCount = same->useCount + 1;
        *same = stored;
        return &*same;
    }
    stored.id = ++lastId_;
    registrations_.push_back(stored);
    return &registrations_.back();
}

const Registration* FunctionRegistry::RegisterId(const std::vector<HostValue>& arguments,
                                                 const RegistrationRules& rules,
                                                 std::string& reason) {
    std::string module;
    std::string procedure;
    if (!ReadText(arguments, 0, module) || !ReadText(arguments, 1, procedure)) {
        reason = "module or procedure is not a text";
        return nullptr;
    }
    const auto known = FindProcedure(module, procedure);
    if (known != registrations_.end()) {
        return &*known;
    }
    if (IsEmpty(arguments, 2)) {
        reason = "procedure \"" + procedure + "\" is not registered and no type text is given";
        return nullptr;
    }
    return Register(std::vector<HostValue>(arguments.begin(), arguments.begin() + 3), rules,
                    reason);
}

bool FunctionRegistry::Unregister(double id) {
    const auto found = std::find_if(registrations_.begin(), registrations_.end(),
                                    [id](const Registration& known) { return known.id == id; });
    if (found == registrations_.end()) {
        return false;
    }
    if (--found->useCount == 0) {
        registrations_.erase(found);
    }
    return true;
}

const Registration* FunctionRegistry::Find(const std::string& functionText) const {
    const std::u16string wanted = Folded(functionText);
    for (auto known = registrations_.rbegin(); known != registrations_.rend(); ++known) {
        if (Folded(known->functionText) == wanted) {
            return &*known;
        }
    }
    return nullptr;
}

void FunctionRegistry::Clear() {
    registrations_.clear();
    for (HMODULE module : loadedModules_) {
        FreeLibrary(module);
    }
    loadedModules_.clear();
    lastId_ = 0;
}

} // namespace xlstandin
