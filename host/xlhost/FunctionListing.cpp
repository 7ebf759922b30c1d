#include "FunctionListing.h"

namespace xlhost {

std::string FunctionListing::Line(const xlstandin::Registration& function) {
    std::string line = function.functionText;
    for (const std::string* field :
         {&function.procedure, &function.typeText, &function.argumentText, &function.category,
          &function.functionHelp}) {
        line += '\t' + *field;
    }
    for (const std::string& help : function.argumentHelps) {
        line += '\t' + help;
    }
    return line;
}

} // namespace xlhost
