// What xlhost reads from a DLL's file to explain why it does not load: whether it is a Windows
// module and the DLLs it imports (its bitness: ModuleBitness).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xlhost {

struct PeFile {
    bool isModule = false;
    std::vector<std::string> imports; // names as the import table gives them

    static PeFile Parse(const std::vector<unsigned char>& bytes);
    static PeFile Read(const std::string& path);
};

} // namespace xlhost
