// Marks the calling thread as running the Excel stand-in's own code for as long as the object
// lives, so that allocation counts of the library can leave out what the Excel stand-in allocates
// for itself.
#pragma once

namespace win32compat {

class ExcelStandInScope {
public:
    ExcelStandInScope();
    ~ExcelStandInScope();
    ExcelStandInScope(const ExcelStandInScope&) = delete;
    ExcelStandInScope& operator=(const ExcelStandInScope&) = delete;

    static bool Active();
};

} // namespace win32compat
