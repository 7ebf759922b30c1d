#include "ModuleBitness.h"

#include <cstdint>
#include <fstream>

namespace xlhost {

namespace {

constexpr std::size_t HeaderOffsetField = 0x3C; // where the DOS header keeps the PE offset
constexpr std::uint16_t MachineI386 = 0x014C;
constexpr std::uint16_t MachineAmd64 = 0x8664;
// Enough for any header a linker writes; the PE offset of a real module is small.
constexpr std::size_t HeaderBytes = 4096;

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

int ModuleBitness::OfFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return 0;
    std::string bytes(HeaderBytes, '\0');
    file.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return OfImage(bytes);
}

int ModuleBitness::OfImage(const std::string& bytes) {
    if (bytes.size() < HeaderOffsetField + 4 || bytes.compare(0, 2, "MZ") != 0)
        return 0;
    const std::size_t pe = LittleEndian(bytes, HeaderOffsetField, 4);
    if (pe > bytes.size() || bytes.size() - pe < 6 ||
        bytes.compare(pe, 4, std::string("PE\0\0", 4)))
        return 0;
    switch (LittleEndian(bytes, pe + 4, 2)) {
    case MachineI386:
        return 32;
    case MachineAmd64:
        return 64;
    default:
        return 0;
    }
}

std::string ModuleBitness::Refusal(int bitness) {
    if (bitness == 0 || bitness == Own())
        return "";
    const std::string bits = std::to_string(bitness);
    return "it is a " + bits + "-bit add-in; use the " + bits + "-bit xlhost";
}

} // namespace xlhost
