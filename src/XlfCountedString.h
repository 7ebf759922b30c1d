#pragma once

#include <vornix/ExcelApi.h>

#include <cstddef>
#include <cstdint>

namespace vornix {

// Excel's counted strings: the first unit holds the length, the text follows without a
// terminator. Excel 4 strings are bytes with a length byte, Excel 12 strings 16-bit code units
// with a 16-bit length. This class owns all arithmetic on those prefixes.
class XlfCountedString {
public:
    // Longest text each prefix can count. Excel 12 itself keeps texts to 32767 units.
    template <typename Unit> static constexpr std::size_t MaxLength() {
        return sizeof(Unit) == 1 ? 255 : 32767;
    }

    static std::size_t Length(const char* counted) {
        return static_cast<unsigned char>(counted[0]);
    }
    static std::size_t Length(const XCHAR* counted) {
        return static_cast<std::uint16_t>(counted[0]);
    }

    template <typename Unit> static const Unit* Text(const Unit* counted) { return counted + 1; }
    template <typename Unit> static Unit* Text(Unit* counted) { return counted + 1; }

    // Bytes of a block holding a counted string of length units plus extra units after the text.
    template <typename Unit> static std::size_t BlockSize(std::size_t length, std::size_t extra) {
        return (1 + length + extra) * sizeof(Unit);
    }
    // Bytes of a counted string as it stands, prefix included.
    template <typename Unit> static std::size_t StoredSize(const Unit* counted) {
        return BlockSize<Unit>(Length(counted), 0);
    }

    // Stores the prefix. Callers keep length within MaxLength.
    static void SetLength(char* counted, std::size_t length) {
        counted[0] = static_cast<char>(static_cast<unsigned char>(length));
    }
    static void SetLength(XCHAR* counted, std::size_t length) {
        counted[0] = static_cast<XCHAR>(length);
    }
};

} // namespace vornix
