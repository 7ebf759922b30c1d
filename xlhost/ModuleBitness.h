// The bitness of a Windows module file, read from its PE header, so that xlhost can refuse an
// add-in of the other bitness with a clear line instead of Windows' bare "bad format" code.
#pragma once

#include <string>

namespace xlhost {

class ModuleBitness {
public:
    // 32 or 64 for an x86 or x64 module; 0 for anything else or a file that cannot be read.
    static int OfFile(const std::string& path);
    // 32 or 64 for an image held in memory, read the same way.
    static int OfImage(const std::string& bytes);
    // The bitness of this program.
    static constexpr int Own() { return sizeof(void*) == 8 ? 64 : 32; }
    // Why a module of the given bitness cannot run in this program; empty when it can (or its
    // bitness is unknown, and loading it will tell).
    static std::string Refusal(int bitness);
};

} // namespace xlhost
