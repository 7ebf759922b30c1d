// The debugger's output channel and message boxes, both captured for tests to read.
#include <Win32Compat.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

struct Captures {
    std::mutex lock;
    std::vector<std::string> debugStrings;
    std::vector<win32compat::MessageBoxCall> messageBoxes;
};

Captures& TheCaptures() {
    static Captures captures;
    return captures;
}

std::atomic<bool> debuggerPresent{false};

} // namespace

namespace win32compat {

void SetDebuggerPresent(bool present) {
    debuggerPresent = present;
}

const std::vector<std::string>& DebugStrings() {
    return TheCaptures().debugStrings;
}

void ClearDebugStrings() {
    Captures& captures = TheCaptures();
    std::lock_guard<std::mutex> guard(captures.lock);
    captures.debugStrings.clear();
}

const std::vector<MessageBoxCall>& MessageBoxCalls() {
    return TheCaptures().messageBoxes;
}

void ClearMessageBoxCalls() {
    Captures& captures = TheCaptures();
    std::lock_guard<std::mutex> guard(captures.lock);
    captures.messageBoxes.clear();
}

} // namespace win32compat

BOOL WINAPI IsDebuggerPresent() {
    return debuggerPresent ? TRUE : FALSE;
}

// Without a debugger attached, Windows drops the text where nobody can see it.
void WINAPI OutputDebugStringA(LPCSTR text) {
    if (text == nullptr || !debuggerPresent) {
        return;
    }
    Captures& captures = TheCaptures();
    std::lock_guard<std::mutex> guard(captures.lock);
    captures.debugStrings.emplace_back(text);
}

// Nobody can press a button here, so every box is answered with OK. A missing caption is
// "Error", as on Windows.
int WINAPI MessageBoxA(HWND /*owner*/, LPCSTR text, LPCSTR caption, UINT type) {
    const std::string shownText = text == nullptr ? "" : text;
    const std::string shownCaption = caption == nullptr ? "Error" : caption;
    Captures& captures = TheCaptures();
    std::lock_guard<std::mutex> guard(captures.lock);
    std::fprintf(stderr, "MessageBox [%s]: %s\n", shownCaption.c_str(), shownText.c_str());
    captures.messageBoxes.push_back(win32compat::MessageBoxCall{shownText, shownCaption, type});
    return IDOK;
}
