// Last-error code and system message texts.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

struct SystemMessage {
    DWORD code;
    const char* text;
};

// The texts Windows gives in English for the codes this layer itself produces.
constexpr SystemMessage systemMessages[] = {
    {ERROR_SUCCESS, "The operation completed successfully.\r\n"},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
    {ERROR_INVALID_HANDLE, "The handle is invalid.\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this "
                              "command.\r\n"},
    {ERROR_BAD_LENGTH, "The program issued a command but the command length is incorrect.\r\n"},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\r\n"},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small.\r\n"},
    {ERROR_MOD_NOT_FOUND, "The specified module could not be found.\r\n"},
    {ERROR_PROC_NOT_FOUND, "The specified procedure could not be found.\r\n"},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists.\r\n"},
    {ERROR_ENVVAR_NOT_FOUND, "The system could not find the environment option that was "
                             "entered.\r\n"},
    {WAIT_TIMEOUT, "The wait operation timed out.\r\n"},
    {ERROR_NOT_OWNER, "Attempt to release mutex not owned by caller.\r\n"},
    {ERROR_INVALID_FLAGS, "Invalid flags.\r\n"},
    {ERROR_INVALID_WINDOW_HANDLE, "Invalid window handle.\r\n"},
};

// Message sources other than the system table (strings, modules) are not needed here.
constexpr DWORD supportedFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;

const char* SystemMessageText(DWORD code) {
    for (const SystemMessage& message : systemMessages) {
        if (message.code == code) {
            return message.text;
        }
    }
    return nullptr;
}

DWORD Fail(DWORD code) {
    SetLastError(code);
    return 0;
}

// The caller's `buffer` really is a char** that receives memory for LocalFree; `size` is the
// least number of characters to allocate.
DWORD StoreInNewBuffer(const char* text, DWORD length, LPSTR buffer, DWORD size) {
    const std::size_t bytes = length + 1 > size ? length + 1 : size;
    char* memory = static_cast<char*>(std::malloc(bytes));
    if (memory == nullptr) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    std::memcpy(memory, text, length + 1);
    *reinterpret_cast<char**>(buffer) = memory;
    return length;
}

DWORD StoreInCallerBuffer(const char* text, DWORD length, LPSTR buffer, DWORD size) {
    if (size < length + 1) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, text, length + 1);
    return length;
}

} // namespace

DWORD WINAPI GetLastError() {
    return lastError;
}

void WINAPI SetLastError(DWORD code) {
    lastError = code;
}

DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID /*source*/, DWORD messageId, DWORD /*languageId*/,
                            LPSTR buffer, DWORD size, void* /*arguments*/) {
    const bool allocate = (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0;
    if (buffer == nullptr || (flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 ||
        (flags & ~supportedFlags) != 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (allocate) {
        *reinterpret_cast<char**>(buffer) = nullptr;
    }
    const char* text = SystemMessageText(messageId);
    if (text == nullptr) {
        return Fail(ERROR_MR_MID_NOT_FOUND);
    }
    const auto length = static_cast<DWORD>(std::strlen(text));
    return allocate ? StoreInNewBuffer(text, length, buffer, size)
                    : StoreInCallerBuffer(text, length, buffer, size);
}

HLOCAL WINAPI LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}
