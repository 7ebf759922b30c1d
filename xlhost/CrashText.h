// The line xlhost prints when an add-in crashes: where it was and what happened, in words.
#pragma once

#include <cstdint>
#include <string>

namespace xlhost {

class CrashText {
public:
    // An exception by its Windows code and, for an access violation, the kind of access (0 read,
    // 1 write, 8 execute) and the address: "access violation reading 0x00000000".
    static std::string Describe(std::uint32_t code, std::uint64_t access, std::uint64_t address,
                                bool withAddress);
    // "xlhost: add-in crashed in WHERE: WHAT"
    static std::string Line(const std::string& where, const std::string& what);
};

} // namespace xlhost
