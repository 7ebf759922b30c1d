#include "AddInModule.h"

#include "ModuleBitness.h"

namespace xlhost {

namespace {

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(full, length);
}

std::string LoadFailure(DWORD error) {
    if (error == ERROR_BAD_EXE_FORMAT) {
        return "not a DLL";
    }
    return "it does not load (Windows error " + std::to_string(error) + ")";
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
        reason = what + LoadFailure(GetLastError());
        return false;
    }
    char name[MAX_PATH + 1] = {};
    GetModuleFileNameA(module_, name, MAX_PATH);
    fileName_ = name;
    if (Export("xlAutoOpen") == nullptr) {
        reason = what + "it exports no xlAutoOpen";
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
