#include "FunctionListing.h"

#include "ResultText.h"
#include "UnicodeText.h"

namespace xlhost {

namespace {

// As result lines show texts: a NUL, a tab or a character beyond ASCII cannot break the line.
std::string Shown(const std::string& utf8, bool wideText) {
    return ResultText::Characters(xlstandin::UnicodeText::FromUtf8(utf8), wideText);
}

} // namespace

std::string FunctionListing::Line(const xlstandin::Registration& function) {
    const bool wide = function.wideTexts;
    std::string line = Shown(function.functionText, wide);
    for (const std::string* field :
         {&function.procedure, &function.typeText, &function.argumentText, &function.category,
          &function.functionHelp}) {
        line += '\t' + Shown(*field, wide);
    }
    for (const std::string& help : function.argumentHelps) {
        line += '\t' + Shown(help, wide);
    }
    return line;
}

} // namespace xlhost
