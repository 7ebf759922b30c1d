// Excel's main window, the function wizard's window and the Replace dialog, as other code in the
// process finds them through EnumWindows, GetClassNameA, GetWindowTextA and GetParent: real
// windows on Windows (created hidden), entries in the Win32 stand-in's window table elsewhere.
#pragma once

#include <windows.h>

#include <string>

namespace xlstandin {

class StandInWindows {
public:
    static constexpr const char* MainClass = "XLMAIN";
    static constexpr const char* WizardClass = "bosa_sdm_XL9";
    // Excel's Replace dialog has the wizard's class; only its title tells them apart.
    static constexpr const char* ReplaceTitle = "Replace";

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
    // Opens the Replace dialog (class WizardClass, title ReplaceTitle), owned by the main window;
    // an open one is closed first.
    void OpenReplaceDialog();
    void CloseReplaceDialog();
    HWND ReplaceDialog() const { return replace_; }

#ifndef _WIN32
    // Makes the main window anew with the given handle value (0: any), so that tests can give
    // its low word any value. Windows chooses real handles itself.
    void RecreateMain(UINT_PTR handleValue);
#endif

private:
    static HWND Create(const std::string& className, HWND owner, const std::string& title);
    static void Destroy(HWND window);
    static void Close(HWND& window);

    HWND main_ = nullptr;
    HWND wizard_ = nullptr;
    HWND replace_ = nullptr;
};

} // namespace xlstandin
