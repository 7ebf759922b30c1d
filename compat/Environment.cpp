// A private process environment: names compare without regard to case, as on Windows, and the
// real environment of the test process is only read, never changed.
#include <Win32Compat.h>
#include <windows.h>

#include <cstring>
#include <mutex>
#include <unistd.h>

namespace {

struct Environment {
    std::mutex lock;
    std::map<std::string, std::string> values; // by lower-case name
    bool seeded = false;
};

Environment& TheEnvironment() {
    static Environment environment;
    return environment;
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Copies the real environment; entries without a name (Windows' "=C:" style) are skipped.
void Seed(Environment& environment) {
    environment.values.clear();
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const char* separator = std::strchr(*entry, '=');
        if (separator != nullptr && separator != *entry) {
            const std::string name(*entry, static_cast<std::size_t>(separator - *entry));
            environment.values[AsciiLower(name)] = separator + 1;
        }
    }
    environment.seeded = true;
}

// Called with the lock held.
std::map<std::string, std::string>& Values(Environment& environment) {
    if (!environment.seeded) {
        Seed(environment);
    }
    return environment.values;
}

bool IsValidName(LPCSTR name) {
    return name != nullptr && *name != '\0' && std::strchr(name, '=') == nullptr;
}

} // namespace

namespace win32compat {

void ClearEnvironment() {
    Environment& environment = TheEnvironment();
    std::lock_guard<std::mutex> guard(environment.lock);
    environment.values.clear();
    environment.seeded = true;
}

void ResetEnvironment() {
    Environment& environment = TheEnvironment();
    std::lock_guard<std::mutex> guard(environment.lock);
    Seed(environment);
}

} // namespace win32compat

// Too small a buffer gets nothing and the result is the size needed, terminator included. An
// empty value gives 0 like a failure, so the last error is cleared to tell the two apart.
DWORD WINAPI GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Environment& environment = TheEnvironment();
    std::lock_guard<std::mutex> guard(environment.lock);
    const auto& values = Values(environment);
    const auto found = values.find(AsciiLower(name));
    if (found == values.end()) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    const auto length = static_cast<DWORD>(found->second.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::memcpy(buffer, found->second.c_str(), length + 1);
    if (length == 0) {
        SetLastError(ERROR_SUCCESS);
    }
    return length;
}

BOOL WINAPI SetEnvironmentVariableA(LPCSTR name, LPCSTR value) {
    if (!IsValidName(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Environment& environment = TheEnvironment();
    std::lock_guard<std::mutex> guard(environment.lock);
    auto& values = Values(environment);
    if (value == nullptr) {
        values.erase(AsciiLower(name));
    } else {
        values[AsciiLower(name)] = value;
    }
    return TRUE;
}
