#include "StandInScope.h"

#include <Win32StandIn.h>

namespace win32compat {

namespace {

thread_local int depth = 0;

} // namespace

StandInScope::StandInScope() {
    ++depth;
}

StandInScope::~StandInScope() {
    --depth;
}

bool StandInScope::Active() {
    return depth > 0;
}

bool InStandIn() {
    return StandInScope::Active();
}

} // namespace win32compat
