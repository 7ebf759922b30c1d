// The add-in xlhost runs: loaded with LoadLibraryA, opened and closed through its add-in
// manager exports, as Excel's add-in manager does.
#pragma once

#include <windows.h>

#include <string>

namespace xlhost {

class AddInModule {
public:
    // Loads the add-in; false with the reason when there is no such file, it is an add-in of
    // the other bitness, it does not load, or it exports no xlAutoOpen.
    bool Load(const std::string& path, std::string& reason);
    // The loaded module's full file name, as Excel's xlGetName answers it.
    const std::string& FileName() const { return fileName_; }

    // True when xlAutoOpen returned 1.
    bool Open() const;
    // Calls xlAutoClose when the add-in exports it.
    void Close() const;

private:
    typedef int(WINAPI* AutoProc)();

    AutoProc Export(const char* name) const;

    HMODULE module_ = nullptr;
    std::string fileName_;
};

} // namespace xlhost
