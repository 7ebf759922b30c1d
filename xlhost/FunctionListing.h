// xlhost --list: one line per registered function, its texts as the add-in registered them,
// separated by tabs, each character shown as result lines show texts.
#pragma once

#include "FunctionRegistry.h"

#include <string>

namespace xlhost {

class FunctionListing {
public:
    // Excel name, export name, type text, argument text, category, function help, then each
    // argument help.
    static std::string Line(const xlstandin::Registration& function);
};

} // namespace xlhost
