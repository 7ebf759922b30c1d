// Reading a module's imports from its file, on a module built here byte by byte.
#include "PeFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using xlhost::PeFile;

void Put(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    }
}

constexpr std::uint16_t i386 = 0x014C;
constexpr std::uint16_t amd64 = 0x8664;

// A module with one section at RVA 0x1000 (file offset 0x200) holding the import descriptors
// and the names of the DLLs.
std::vector<unsigned char> Module(std::uint16_t machine, const std::vector<std::string>& dlls) {
    std::vector<unsigned char> bytes(0x400, 0);
    const bool plus = machine == amd64;
    Put(bytes, 0, 0x5A4D, 2);
    Put(bytes, 0x3C, 0x80, 4);
    Put(bytes, 0x80, 0x00004550, 4);
    Put(bytes, 0x84, machine, 2);
    Put(bytes, 0x86, 1, 2);
    const std::size_t optionalSize = plus ? 240 : 224;
    Put(bytes, 0x80 + 20, static_cast<std::uint32_t>(optionalSize), 2);
    const std::size_t optional = 0x80 + 24;
    Put(bytes, optional, plus ? 0x20B : 0x10B, 2);
    Put(bytes, optional + (plus ? 120 : 104), 0x1000, 4); // import directory
    const std::size_t section = optional + optionalSize;
    Put(bytes, section + 12, 0x1000, 4);
    Put(bytes, section + 16, 0x200, 4);
    Put(bytes, section + 20, 0x200, 4);
    std::size_t name = 0x200 + 20 * (dlls.size() + 1);
    for (std::size_t i = 0; i < dlls.size(); ++i) {
        Put(bytes, 0x200 + 20 * i + 12, static_cast<std::uint32_t>(0x1000 + name - 0x200), 4);
        for (char c : dlls[i]) {
            bytes[name++] = static_cast<unsigned char>(c);
        }
        ++name;
    }
    return bytes;
}

TEST(PeFile, ReadsTheProcessorAndTheImportedDlls) {
    const PeFile file = PeFile::Parse(Module(i386, {"KERNEL32.dll", "missing.dll"}));
    EXPECT_TRUE(file.isModule);
    EXPECT_EQ((std::vector<std::string>{"KERNEL32.dll", "missing.dll"}), file.imports);
    const PeFile wide = PeFile::Parse(Module(amd64, {"msvcrt.dll"}));
    EXPECT_TRUE(wide.isModule);
    EXPECT_EQ(std::vector<std::string>{"msvcrt.dll"}, wide.imports);
}

TEST(PeFile, TextsAndCutFilesAreNoModules) {
    const std::string text = "case a file that is no DLL\n";
    EXPECT_FALSE(PeFile::Parse(std::vector<unsigned char>(text.begin(), text.end())).isModule);
    std::vector<unsigned char> cut = Module(i386, {"a.dll"});
    cut.resize(0x90);
    const PeFile file = PeFile::Parse(cut);
    EXPECT_TRUE(file.isModule);
    EXPECT_TRUE(file.imports.empty());
    EXPECT_FALSE(PeFile::Read("/no/such/file.xll").isModule);
}

} // namespace
