// A formula as xlhost reads it: a call of a registered function whose arguments are values or
// further calls.
#pragma once

#include "HostValue.h"

#include <string>
#include <vector>

namespace xlhost {

struct Expression {
    // A call when name is not empty; otherwise the constant value (missing for an empty
    // argument).
    std::string name;
    std::vector<Expression> arguments;
    xlstandin::HostValue value;

    bool IsCall() const { return !name.empty(); }
};

} // namespace xlhost
