// What xlhost reads from a DLL's file to explain why it does not load: whether it is a Windows
// module, for which processor, and the DLLs it imports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xlhost {

struct PeFile {
    static constexpr std::uint16_t I386 = 0x014C;
    static constexpr std::uint16_t Amd64 = 0x8664;

    bool isModule = false;
    std::uint16_t machine = 0;
    std::vector<std::string> imports; // names as the import table gives them

    static PeFile Parse(const std::vector<unsigned char>& bytes);
    static PeFile Read(const std::string& path);
    // "32-bit", "64-bit" or "foreign" for the module's processor.
    std::string Bitness() const;
};

} // namespace xlhost
