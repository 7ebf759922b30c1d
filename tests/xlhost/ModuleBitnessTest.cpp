#include "ModuleBitness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

using xlhost::ModuleBitness;

namespace {

// A DOS header pointing at a PE signature at peOffset, followed by the machine type.
std::string Image(std::uint16_t machine, std::uint32_t peOffset = 0x80) {
    std::string bytes(peOffset + 24, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        bytes[0x3C + i] = static_cast<char>(peOffset >> (8 * i) & 0xFF);
    bytes.replace(peOffset, 4, std::string("PE\0\0", 4));
    bytes[peOffset + 4] = static_cast<char>(machine & 0xFF);
    bytes[peOffset + 5] = static_cast<char>(machine >> 8);
    return bytes;
}

} // namespace

TEST(ModuleBitness, ReadsTheMachineTypeOfThePeHeader) {
    EXPECT_EQ(32, ModuleBitness::OfImage(Image(0x014C)));
    EXPECT_EQ(64, ModuleBitness::OfImage(Image(0x8664)));
    EXPECT_EQ(64, ModuleBitness::OfImage(Image(0x8664, 0x40)));
    EXPECT_EQ(0, ModuleBitness::OfImage(Image(0xAA64))); // ARM64: neither
}

TEST(ModuleBitness, AnythingButAPeImageHasNoBitness) {
    EXPECT_EQ(0, ModuleBitness::OfImage(""));
    EXPECT_EQ(0, ModuleBitness::OfImage("MZ"));
    std::string noSignature = Image(0x8664);
    noSignature[0x81] = 'X';
    EXPECT_EQ(0, ModuleBitness::OfImage(noSignature));
    std::string notMz = Image(0x8664);
    notMz[0] = 'Z';
    EXPECT_EQ(0, ModuleBitness::OfImage(notMz));
    // A PE offset beyond the bytes, or leaving no room for the machine type, is not read.
    EXPECT_EQ(0, ModuleBitness::OfImage(Image(0x8664, 0x80).substr(0, 0x80 + 5)));
    std::string farOffset = Image(0x8664);
    farOffset[0x3F] = '\x7F';
    EXPECT_EQ(0, ModuleBitness::OfImage(farOffset));
}

TEST(ModuleBitness, ReadsAFile) {
    const std::string path = ::testing::TempDir() + "module-bitness-test.dll";
    {
        std::ofstream file(path, std::ios::binary);
        const std::string bytes = Image(0x014C);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_EQ(32, ModuleBitness::OfFile(path));
    std::remove(path.c_str());
    EXPECT_EQ(0, ModuleBitness::OfFile(path));
}

TEST(ModuleBitness, RefusesOnlyTheOtherBitness) {
    const int own = ModuleBitness::Own();
    EXPECT_EQ(static_cast<int>(8 * sizeof(void*)), own);
    EXPECT_EQ("", ModuleBitness::Refusal(own));
    EXPECT_EQ("", ModuleBitness::Refusal(0));
    if (own == 64)
        EXPECT_EQ("it is a 32-bit add-in; use the 32-bit xlhost", ModuleBitness::Refusal(32));
    else
        EXPECT_EQ("it is a 64-bit add-in; use the 64-bit xlhost", ModuleBitness::Refusal(64));
}
