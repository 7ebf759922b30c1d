#include "XlOpenClose.h"

#include "RegistrationRegistry.h"
#include "Win32StreamBuf.h"
#include "XlfLog.h"
#include <vornix/XlfExcel.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

using vornix::XlfLog;

std::streambuf* previousBuffer = nullptr;

// Diagnostics go to the debugger while the add-in is open. Should the library be unloaded without
// being closed, the error stream must not be left writing into a buffer that is gone.
struct DebuggerBuffer {
    vornix::Win32StreamBuf buffer;
    ~DebuggerBuffer() {
        if (std::cerr.rdbuf() == &buffer)
            std::cerr.rdbuf(previousBuffer != &buffer ? previousBuffer : nullptr);
    }
} debugger;

constexpr DWORD ModulePathSize = 260;
constexpr DWORD FirstPathBufferSize = 4096;

// The value of "Path"; a variable that does not exist or is empty reads as "". False when the
// value cannot be read.
bool ReadPath(std::string& value) {
    std::vector<char> buffer(FirstPathBufferSize, '\0');
    DWORD length = GetEnvironmentVariableA("Path", buffer.data(), FirstPathBufferSize);
    if (length > FirstPathBufferSize) {
        // Too short: length is the size needed, terminator included.
        buffer.assign(length, '\0');
        const DWORD needed = length;
        length = GetEnvironmentVariableA("Path", buffer.data(), needed);
        if (length == 0 || length >= needed) {
            XlfLog::At(XlfLog::OpenPathUnreadable)
                << " Could not get PATH Environment Variable" << std::endl;
            return false;
        }
    }
    value.assign(buffer.data(), length);
    return true;
}

// Puts the directory of the add-in at the end of the search path, so that libraries placed
// beside it are found.
bool AppendDirectoryToPath(const std::string& moduleFile) {
    std::string path;
    if (!ReadPath(path))
        return false;
    const std::size_t separator = moduleFile.rfind('\\');
    const std::string directory =
        separator == std::string::npos ? moduleFile : moduleFile.substr(0, separator);
    const std::string value = path.empty() ? directory : path + ";" + directory;
    if (!SetEnvironmentVariableA("Path", value.c_str())) {
        XlfLog::At(XlfLog::OpenPathNotSet)
            << " SetEnvironmentVariable failed to set PATH" << std::endl;
        return false;
    }
    XlfLog::At(XlfLog::OpenPathSet) << " PATH set successfully " << std::endl;
    return true;
}

// The module holding this code: the allocation base of the region one of its objects lies in.
bool FindOwnModule(HMODULE& module) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(&debugger, &region, sizeof(region)) == 0) {
        XlfLog::At(XlfLog::OpenModuleUnknown) << " Could not attain path of DLL" << std::endl;
        return false;
    }
    module = static_cast<HMODULE>(region.AllocationBase);
    return true;
}

std::string ModuleFileName(HMODULE module) {
    char name[ModulePathSize + 1] = {};
    GetModuleFileNameA(module, name, ModulePathSize);
    return name;
}

int Open() {
    previousBuffer = std::cerr.rdbuf(&debugger.buffer);
    XlfLog::At(XlfLog::OpenRedirected) << "std::cerr redirected to MSVC debugger" << std::endl;
    bool success = false;
    HMODULE module = nullptr;
    if (FindOwnModule(module)) {
        const std::string moduleFile = ModuleFileName(module);
        vornix::XlfExcel::Instance().StatusBarMessage(moduleFile.c_str());
        success = AppendDirectoryToPath(moduleFile);
    }
    if (!success)
        XlfLog::At(XlfLog::OpenPathWarning)
            << " Warning: Unable to initialise PATH to directory of library " << std::endl;
    vornix::XlfExcel::Instance().StatusBarMessage("Registering library...");
    vornix::RegistrationRegistry::Instance().RegisterAll();
    vornix::XlfExcel::Instance().StatusBarMessage(nullptr);
    return 1;
}

} // namespace

XLF_EXPORT int WINAPI xlAutoOpen() {
    try {
        return Open();
    } catch (...) {
        return 0;
    }
}

XLF_EXPORT int WINAPI xlAutoClose() {
    try {
        XlfLog::At(XlfLog::CloseReleasing) << "Releasing ressources" << std::endl;
    } catch (...) {
        // Closing goes on without its log line.
    }
    try {
        delete &vornix::XlfExcel::Instance();
    } catch (...) {
        // A gateway that failed to start is the instance all the same: release it too.
        delete vornix::XlfExcel::Existing();
    }
    if (previousBuffer != nullptr)
        std::cerr.rdbuf(previousBuffer);
    return 1;
}
