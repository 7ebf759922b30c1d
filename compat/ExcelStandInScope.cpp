#include "ExcelStandInScope.h"

#include <Win32Compat.h>

namespace win32compat {

namespace {

thread_local int depth = 0;

} // namespace

ExcelStandInScope::ExcelStandInScope() {
    ++depth;
}

ExcelStandInScope::~ExcelStandInScope() {
    --depth;
}

bool ExcelStandInScope::Active() {
    return depth > 0;
}

bool InExcelStandIn() {
    return ExcelStandInScope::Active();
}

} // namespace win32compat
