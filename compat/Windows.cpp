// A table of windows (handle, class name, parent, title) standing in for the window manager.
#include "ExcelStandInScope.h"

#include <Win32Compat.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

struct Window {
    HWND handle;
    std::string className;
    HWND parent;
    std::string title;
};

constexpr UINT_PTR firstAutoHandleValue = 0x10010;
constexpr UINT_PTR autoHandleStep = 0x10;

struct WindowTable {
    std::mutex lock;
    std::vector<Window> windows; // in creation order
    UINT_PTR nextAutoHandleValue = firstAutoHandleValue;
};

WindowTable& Table() {
    static WindowTable table;
    return table;
}

// Called with the lock held.
const Window* Find(const WindowTable& table, HWND handle) {
    const auto found = std::find_if(table.windows.begin(), table.windows.end(),
                                    [handle](const Window& w) { return w.handle == handle; });
    return found == table.windows.end() ? nullptr : &*found;
}

HWND NextAutoHandle(WindowTable& table) {
    HWND handle;
    do {
        handle = reinterpret_cast<HWND>(table.nextAutoHandleValue);
        table.nextAutoHandleValue += autoHandleStep;
    } while (Find(table, handle) != nullptr);
    return handle;
}

// Removes the window and, as DestroyWindow does, every window it parents or owns.
void DestroyTree(WindowTable& table, HWND handle) {
    std::vector<HWND> doomed{handle};
    for (std::size_t i = 0; i < doomed.size(); ++i) {
        for (const Window& window : table.windows) {
            if (window.parent == doomed[i] && window.handle != doomed[i]) {
                doomed.push_back(window.handle);
            }
        }
    }
    const auto isDoomed = [&doomed](const Window& w) {
        return std::find(doomed.begin(), doomed.end(), w.handle) != doomed.end();
    };
    table.windows.erase(std::remove_if(table.windows.begin(), table.windows.end(), isDoomed),
                        table.windows.end());
}

std::vector<HWND> Snapshot() {
    WindowTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    std::vector<HWND> handles;
    for (const Window& window : table.windows) {
        handles.push_back(window.handle);
    }
    return handles;
}

} // namespace

namespace win32compat {

HWND CreateTableWindow(const std::string& className, HWND parent, UINT_PTR handleValue,
                       const std::string& title) {
    WindowTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    HWND handle = reinterpret_cast<HWND>(handleValue);
    if (handleValue == 0) {
        handle = NextAutoHandle(table);
    } else if (Find(table, handle) != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    table.windows.push_back(Window{handle, className, parent, title});
    return handle;
}

void DestroyTableWindow(HWND window) {
    WindowTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    DestroyTree(table, window);
}

} // namespace win32compat

// The callback runs without the table locked, so it may itself ask about windows; windows it
// destroys meanwhile are still visited.
BOOL WINAPI EnumWindows(WNDENUMPROC callback, LPARAM lParam) {
    if (callback == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    win32compat::CountWindowSearch();
    std::vector<HWND> windows;
    {
        const win32compat::ExcelStandInScope standIn;
        windows = Snapshot();
    }
    for (HWND window : windows) {
        if (!callback(window, lParam)) {
            return FALSE;
        }
    }
    return TRUE;
}

namespace {

// Copies one text of a window into a caller's buffer of maxCount characters, cut and terminated
// as Windows does; the number of characters copied, 0 on failure.
int CopyWindowText(HWND window, std::string Window::*text, LPSTR buffer, int maxCount) {
    WindowTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const Window* found = Find(table, window);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (buffer == nullptr || maxCount <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string& source = found->*text;
    const std::size_t count = std::min(source.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, source.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

} // namespace

int WINAPI GetClassNameA(HWND window, LPSTR className, int maxCount) {
    return CopyWindowText(window, &Window::className, className, maxCount);
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    return CopyWindowText(window, &Window::title, text, maxCount);
}

HWND WINAPI GetParent(HWND window) {
    WindowTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const Window* found = Find(table, window);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return found->parent;
}
