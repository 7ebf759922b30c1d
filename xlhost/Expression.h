// A formula as xlhost reads it: a call of a registered function whose arguments are values,
// references or further calls.
#pragma once

#include "HostValue.h"

#include <string>
#include <vector>

namespace xlhost {

struct Expression {
    // A call when name is not empty; otherwise the constant value (missing for an empty
    // argument) or a reference, whose sheet id is left to the evaluator.
    std::string name;
    std::vector<Expression> arguments;
    xlstandin::HostValue value;
    std::string sheet; // a reference's sheet as written; empty for the formula's own

    bool IsCall() const { return !name.empty(); }
    bool IsReference() const { return value.Is(xlstandin::HostValue::Kind::Reference); }
};

} // namespace xlhost
