#pragma once

#include "WorksheetCase.h"
#include <vornix/ExcelApi.h>

// The add-in's entry point for the case, called with the value records of the running mode.
LPXLFOPER CallLibrary(const WorksheetCase& call, LPXLFOPER first, LPXLFOPER second);
