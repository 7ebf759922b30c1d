#include "StandInWindows.h"

#include <stdexcept>

#ifndef _WIN32
#include <Win32Compat.h>
#endif

namespace xlstandin {

namespace {

const char* const mainTitle = "Excel stand-in";

} // namespace

HWND StandInWindows::Main() {
    if (main_ == nullptr) {
        main_ = Create(MainClass, nullptr, mainTitle);
    }
    return main_;
}

// The Paste Function dialog has no title.
void StandInWindows::OpenWizard(const std::string& className) {
    CloseWizard();
    wizard_ = Create(className, Main(), "");
}

void StandInWindows::CloseWizard() {
    Close(wizard_);
}

void StandInWindows::OpenReplaceDialog() {
    CloseReplaceDialog();
    replace_ = Create(WizardClass, Main(), ReplaceTitle);
}

void StandInWindows::CloseReplaceDialog() {
    Close(replace_);
}

void StandInWindows::Close(HWND& window) {
    if (window != nullptr) {
        Destroy(window);
        window = nullptr;
    }
}

#ifdef _WIN32

// Windows of our classes need no behaviour of their own: they are only found, never shown.
HWND StandInWindows::Create(const std::string& className, HWND owner, const std::string& title) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className.c_str();
    if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("cannot register window class " + className);
    }
    // A popup with an owner is a top-level window whose GetParent is the owner.
    const DWORD style = owner == nullptr ? WS_OVERLAPPEDWINDOW : WS_POPUP;
    HWND window = CreateWindowExA(0, className.c_str(), title.c_str(), style, 0, 0, 100, 100, owner,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        throw std::runtime_error("cannot create a window of class " + className + " (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    return window;
}

void StandInWindows::Destroy(HWND window) {
    DestroyWindow(window);
}

#else

HWND StandInWindows::Create(const std::string& className, HWND owner, const std::string& title) {
    HWND window = win32compat::CreateTableWindow(className, owner, 0, title);
    if (window == nullptr) {
        throw std::runtime_error("cannot create a window of class " + className);
    }
    return window;
}

void StandInWindows::Destroy(HWND window) {
    win32compat::DestroyTableWindow(window);
}

void StandInWindows::RecreateMain(UINT_PTR handleValue) {
    CloseWizard();
    CloseReplaceDialog();
    if (main_ != nullptr) {
        Destroy(main_);
    }
    main_ = win32compat::CreateTableWindow(MainClass, nullptr, handleValue, mainTitle);
    if (main_ == nullptr) {
        throw std::runtime_error("cannot create the main window with the handle asked for");
    }
}

#endif

} // namespace xlstandin
