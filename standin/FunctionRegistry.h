// The functions add-ins registered through REGISTER, as Excel keeps them.
#pragma once

#include "HostValue.h"
#include "TypeText.h"

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace xlstandin {

// REGISTER's arguments in their order, each text in UTF-8 with every character it counts.
struct Registration {
    double id = 0;
    std::string module;
    std::string procedure;
    std::string typeText;
    std::string functionText; // the name formulas use; may be empty
    std::string argumentText;
    int macroType = 1; // 0 hidden, 1 worksheet function, 2 command
    std::string category;
    std::string shortcut;
    std::string helpTopic;
    std::string functionHelp;
    std::vector<std::string> argumentHelps;
    TypeText types;
    // Registered through the Excel12 entry: the texts came in 16-bit units.
    bool wideTexts = false;
    FARPROC address = nullptr;
    // Registrations of this procedure not yet taken back by UNREGISTER: the function is gone
    // only at zero.
    int useCount = 1;
};

// What decides which registrations Excel takes: its version and the entry REGISTER came through.
struct RegistrationRules {
    int version = 12;
    bool throughExcel12 = true;
};

class FunctionRegistry {
public:
    FunctionRegistry() = default;
    FunctionRegistry(const FunctionRegistry&) = delete;
    FunctionRegistry& operator=(const FunctionRegistry&) = delete;
    ~FunctionRegistry() { Clear(); }

    // Checks the arguments, finds the procedure in its module and stores the registration.
    // Registering the same procedure of the same module again replaces it under the same id and
    // counts one use more. Returns the stored registration, or null with the reason Excel would
    // refuse it.
    const Registration* Register(const std::vector<HostValue>& arguments,
                                 const RegistrationRules& rules, std::string& reason);
    // REGISTER.ID (module, procedure, optional type text): the registration of a procedure
    // already registered, its use count unchanged; otherwise the procedure is registered as
    // REGISTER does, which needs the type text.
    const Registration* RegisterId(const std::vector<HostValue>& arguments,
                                   const RegistrationRules& rules, std::string& reason);
    // Counts one use less; the registration goes at zero. False for an id nothing has.
    bool Unregister(double id);

    // The newest registration under a function text, compared without regard to case.
    const Registration* Find(const std::string& functionText) const;
    const std::vector<Registration>& All() const { return registrations_; }

    // Forgets every registration and lets go of the modules it loaded.
    void Clear();

private:
    static bool ReadArguments(const std::vector<HostValue>& arguments,
                              const RegistrationRules& rules, Registration& stored,
                              std::string& reason);
    bool Resolve(Registration& stored, std::string& reason);
    std::vector<Registration>::iterator FindProcedure(const std::string& module,
                                                      const std::string& procedure);

    std::vector<Registration> registrations_;
    std::set<HMODULE> loadedModules_;
    double lastId_ = 0;
};

} // namespace xlstandin
