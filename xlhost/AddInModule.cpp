#include "AddInModule.h"

#include "MessageInserts.h"
#include "ModuleBitness.h"
#include "PeFile.h"

namespace xlhost {

namespace {

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(full, length);
}

// Windows' own words for an error code about the file, named without its folder (the line
// names the whole path already), without the line end Windows adds.
std::string WindowsMessage(DWORD error, const std::string& path) {
    const std::string fileName = path.substr(path.find_last_of("\\/") + 1);
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message =
        length == 0 ? "" : MessageInserts::Fill(std::string(text, length), fileName);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "Windows error " + std::to_string(error)
                           : message + " (Windows error " + std::to_string(error) + ")";
}

// The first DLL the add-in imports that Windows cannot find, searched for as the loader does
// for the add-in, or empty.
std::string MissingDependency(const PeFile& file) {
    for (const std::string& name : file.imports) {
        HMODULE module = LoadLibraryExA(name.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        if (module == nullptr) {
            return name;
        }
        FreeLibrary(module);
    }
    return "";
}

std::string LoadFailure(const std::string& path, DWORD error) {
    const PeFile file = PeFile::Read(path);
    if (!file.isModule) {
        return "not a DLL";
    }
    const std::string missing = error == ERROR_MOD_NOT_FOUND ? MissingDependency(file) : "";
    if (!missing.empty()) {
        return "it needs " + missing + ", which Windows cannot find (" +
               WindowsMessage(error, path) + ")";
    }
    return "it does not load: " + WindowsMessage(error, path);
}

} // namespace

bool AddInModule::Load(const std::string& path, std::string& reason) {
    // A full path, so that LoadLibraryA takes this file rather than searching for the name.
    const std::string full = FullPath(path);
    const std::string what = "cannot load add-in " + full + ": ";
    if (GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES) {
        reason = what + "no such file";
        return false;
    }
    // Windows refuses a module of the other bitness only with a bare format error.
    const std::string refusal = ModuleBitness::Refusal(ModuleBitness::OfFile(full));
    if (!refusal.empty()) {
        reason = what + refusal;
        return false;
    }
    module_ = LoadLibraryA(full.c_str());
    if (module_ == nullptr) {
        reason = what + LoadFailure(full, GetLastError());
        return false;
    }
    char name[MAX_PATH + 1] = {};
    GetModuleFileNameA(module_, name, MAX_PATH);
    fileName_ = name;
    if (Export("xlAutoOpen") == nullptr) {
        reason = what + "it exports no xlAutoOpen";
        for (const char* decorated : {"xlAutoOpen@0", "_xlAutoOpen@0"}) {
            if (Export(decorated) != nullptr) {
                reason += std::string(", only the decorated ") + decorated +
                          " (export the plain names: link with -Wl,--kill-at or a .def file)";
                break;
            }
        }
        return false;
    }
    return true;
}

bool AddInModule::Open() const {
    return Export("xlAutoOpen")() == 1;
}

void AddInModule::Close() const {
    const AutoProc close = Export("xlAutoClose");
    if (close != nullptr) {
        close();
    }
}

AddInModule::AutoProc AddInModule::Export(const char* name) const {
    const FARPROC address = GetProcAddress(module_, name);
    return reinterpret_cast<AutoProc>(reinterpret_cast<void (*)()>(address));
}

} // namespace xlhost
