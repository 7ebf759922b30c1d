// The arithmetic of a worksheet case, run as the entry points run it: on the argument texts (or
// on the doubles, for the shifts), giving a text for Dec2Bin and a number for the rest.
#pragma once

#include "WorksheetCase.h"

#include <string>

std::string ComputeText(const WorksheetCase& call, const std::string& value, double precision);
double ComputeNumber(const WorksheetCase& call, const std::string& first,
                     const std::string& second);
