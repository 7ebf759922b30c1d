// Excel's main window and the function wizard's window, as other code in the process finds them
// through EnumWindows, GetClassNameA and GetParent: real windows on Windows (created hidden),
// entries in the Win32 stand-in's window table elsewhere.
#pragma once

#include <windows.h>

#include <string>

namespace xlstandin {

class StandInWindows {
public:
    static constexpr const char* MainClass = "XLMAIN";
    static constexpr const char* WizardClass = "bosa_sdm_XL9";

    StandInWindows() = default;
    StandInWindows(const StandInWindows&) = delete;
    StandInWindows& operator=(const StandInWindows&) = delete;

    // The main window, created on first use and kept for the life of the process.
    HWND Main();
    // Opens the wizard's window under the given class, owned by the main window; an open one
    // is closed first.
    void OpenWizard(const std::string& className);
    void CloseWizard();
    HWND Wizard() const { return wizard_; }

#ifndef _WIN32
    // Makes the main window anew with the given handle value (0: any), so that tests can give
    // its low word any value. Windows chooses real handles itself.
    void RecreateMain(UINT_PTR handleValue);
#endif

private:
    static HWND Create(const std::string& className, HWND owner);
    static void Destroy(HWND window);

    HWND main_ = nullptr;
    HWND wizard_ = nullptr;
};

} // namespace xlstandin
