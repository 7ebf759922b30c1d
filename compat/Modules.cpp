// Dynamic loading against a table of named modules, and the calling code's own module.
#include <Win32Compat.h>
#include <windows.h>

#include <cstring>
#include <mutex>

namespace {

// Handle values look like image bases: the process at the usual executable base, the own module
// and the registered modules above it, 64 KiB apart.
constexpr UINT_PTR processHandleValue = 0x00400000;
constexpr UINT_PTR ownHandleValue = 0x10000000;
constexpr UINT_PTR firstModuleHandleValue = 0x10010000;
constexpr UINT_PTR moduleHandleStep = 0x10000;
constexpr UINT_PTR pageSize = 0x1000;
// Windows never maps the lowest 64 KiB, so addresses there are free, not part of a module.
constexpr UINT_PTR nullRegionSize = 0x10000;
const char* const processFileName = "C:\\compat\\host.exe";
const char* const defaultOwnFileName = "C:\\compat\\module.xll";

struct Module {
    HMODULE handle;
    std::string fileName;
    std::map<std::string, FARPROC> exports;
};

struct ModuleTable {
    std::mutex lock;
    std::map<std::string, Module> modules; // by lower-case file-name part
    std::map<std::string, FARPROC> processExports;
    std::string ownFileName = defaultOwnFileName;
    bool queryFails = false;
    UINT_PTR nextHandleValue = firstModuleHandleValue;
};

ModuleTable& Table() {
    static ModuleTable table;
    return table;
}

HMODULE AsModule(UINT_PTR value) {
    return reinterpret_cast<HMODULE>(value);
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string FileNamePart(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string RegisteredKey(const std::string& name) {
    return AsciiLower(FileNamePart(name));
}

// The loader's rule: no extension means ".dll"; a trailing point means "really no extension".
std::string LookupKey(const std::string& name) {
    std::string key = RegisteredKey(name);
    if (!key.empty() && key.back() == '.') {
        key.pop_back();
    } else if (key.find('.') == std::string::npos) {
        key += ".dll";
    }
    return key;
}

HMODULE FindByName(ModuleTable& table, const char* name) {
    const std::string key = LookupKey(name);
    const auto found = table.modules.find(key);
    if (found != table.modules.end()) {
        return found->second.handle;
    }
    if (key == RegisteredKey(table.ownFileName)) {
        return AsModule(ownHandleValue);
    }
    if (key == RegisteredKey(processFileName)) {
        return AsModule(processHandleValue);
    }
    return nullptr;
}

const Module* FindByHandle(const ModuleTable& table, HMODULE handle) {
    for (const auto& entry : table.modules) {
        if (entry.second.handle == handle) {
            return &entry.second;
        }
    }
    return nullptr;
}

bool WasEverIssued(const ModuleTable& table, HMODULE handle) {
    const auto value = reinterpret_cast<UINT_PTR>(handle);
    if (value == processHandleValue || value == ownHandleValue) {
        return true;
    }
    return value >= firstModuleHandleValue && value < table.nextHandleValue &&
           (value - firstModuleHandleValue) % moduleHandleStep == 0;
}

// A NULL module means the executable, as for Windows' GetProcAddress.
const std::map<std::string, FARPROC>* ExportsOf(const ModuleTable& table, HMODULE handle) {
    static const std::map<std::string, FARPROC> none;
    const auto value = reinterpret_cast<UINT_PTR>(handle);
    if (handle == nullptr || value == processHandleValue) {
        return &table.processExports;
    }
    if (value == ownHandleValue) {
        return &none;
    }
    const Module* module = FindByHandle(table, handle);
    return module == nullptr ? nullptr : &module->exports;
}

// Names at or below 0xFFFF are ordinals, which no module of this layer exports.
bool IsOrdinal(LPCSTR procName) {
    return reinterpret_cast<UINT_PTR>(procName) <= 0xFFFF;
}

const std::string* FileNameOf(const ModuleTable& table, HMODULE handle) {
    static const std::string process = processFileName;
    const auto value = reinterpret_cast<UINT_PTR>(handle);
    if (handle == nullptr || value == processHandleValue) {
        return &process;
    }
    if (value == ownHandleValue) {
        return &table.ownFileName;
    }
    const Module* module = FindByHandle(table, handle);
    return module == nullptr ? nullptr : &module->fileName;
}

void DescribeAddress(UINT_PTR address, MEMORY_BASIC_INFORMATION& info) {
    info = MEMORY_BASIC_INFORMATION{};
    const UINT_PTR base = address & ~(pageSize - 1);
    info.BaseAddress = reinterpret_cast<LPVOID>(base);
    if (address < nullRegionSize) {
        info.RegionSize = nullRegionSize - base;
        info.State = MEM_FREE;
        info.Protect = PAGE_NOACCESS;
        return;
    }
    info.AllocationBase = AsModule(ownHandleValue);
    info.AllocationProtect = PAGE_EXECUTE_READ;
    info.RegionSize = pageSize;
    info.State = MEM_COMMIT;
    info.Protect = PAGE_EXECUTE_READ;
    info.Type = MEM_IMAGE;
}

} // namespace

namespace win32compat {

HMODULE RegisterModule(const std::string& name, const std::map<std::string, FARPROC>& exports) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto inserted = table.modules.emplace(RegisteredKey(name), Module{});
    Module& module = inserted.first->second;
    if (inserted.second) {
        module.handle = AsModule(table.nextHandleValue);
        table.nextHandleValue += moduleHandleStep;
    }
    module.fileName = name;
    module.exports = exports;
    return module.handle;
}

void UnregisterModule(const std::string& name) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.modules.erase(RegisteredKey(name));
}

void SetProcessExport(const std::string& name, FARPROC address) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.processExports[name] = address;
}

void RemoveProcessExport(const std::string& name) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.processExports.erase(name);
}

HMODULE SetOwnModule(const std::string& fileName) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.ownFileName = fileName;
    return AsModule(ownHandleValue);
}

void SetVirtualQueryFails(bool fails) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.queryFails = fails;
}

} // namespace win32compat

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    HMODULE module = FindByName(table, fileName);
    if (module == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return module;
}

// Modules stay "mapped" while anyone holds them, so even handles of modules unregistered since
// may be freed; only handles never given out fail.
BOOL WINAPI FreeLibrary(HMODULE module) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!WasEverIssued(table, module)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const std::map<std::string, FARPROC>* exports = ExportsOf(table, module);
    if (exports == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    const auto found = IsOrdinal(procName) ? exports->end() : exports->find(procName);
    if (found == exports->end()) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return found->second;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr) {
        return AsModule(processHandleValue);
    }
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    HMODULE module = FindByName(table, moduleName);
    if (module == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return module;
}

SIZE_T WINAPI VirtualQuery(LPCVOID address, PMEMORY_BASIC_INFORMATION buffer, SIZE_T length) {
    if (buffer == nullptr || length < sizeof(MEMORY_BASIC_INFORMATION)) {
        SetLastError(ERROR_BAD_LENGTH);
        return 0;
    }
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    if (table.queryFails) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DescribeAddress(reinterpret_cast<UINT_PTR>(address), *buffer);
    return sizeof(MEMORY_BASIC_INFORMATION);
}

// A short buffer gets the truncated name with its terminator, and the result is the buffer size.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    ModuleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const std::string* name = FileNameOf(table, module);
    if (name == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (name->size() < size) {
        std::memcpy(fileName, name->c_str(), name->size() + 1);
        return static_cast<DWORD>(name->size());
    }
    std::memcpy(fileName, name->data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}
