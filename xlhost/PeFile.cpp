#include "PeFile.h"

#include <fstream>
#include <iterator>

namespace xlhost {

namespace {

// Little-endian fields at byte offsets; out of range reads as 0, so that a cut file fails the
// checks below rather than reading beyond it.
class Bytes {
public:
    explicit Bytes(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    std::uint32_t At(std::size_t offset, int size) const {
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) {
            const std::size_t at = offset + static_cast<std::size_t>(i);
            value = (value << 8) | (at < bytes_.size() ? bytes_[at] : 0u);
        }
        return value;
    }
    std::string Text(std::size_t offset) const {
        std::string text;
        while (offset < bytes_.size() && bytes_[offset] != 0 && text.size() < 260) {
            text += static_cast<char>(bytes_[offset++]);
        }
        return text;
    }
    std::size_t Size() const { return bytes_.size(); }

private:
    const std::vector<unsigned char>& bytes_;
};

// The file offset of a relative virtual address, through the section that holds it.
bool FileOffset(const Bytes& bytes, std::size_t sections, unsigned count, std::uint32_t rva,
                std::size_t& offset) {
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t section = sections + 40u * i;
        const std::uint32_t address = bytes.At(section + 12, 4);
        const std::uint32_t size = bytes.At(section + 16, 4);
        if (rva >= address && rva < address + size) {
            offset = bytes.At(section + 20, 4) + (rva - address);
            return true;
        }
    }
    return false;
}

} // namespace

PeFile PeFile::Parse(const std::vector<unsigned char>& data) {
    const Bytes bytes(data);
    PeFile file;
    const std::uint32_t header = bytes.At(0x3C, 4);
    if (bytes.At(0, 2) != 0x5A4D || bytes.At(header, 4) != 0x00004550) {
        return file;
    }
    file.isModule = true;
    const unsigned sectionCount = bytes.At(header + 6, 2);
    const std::size_t optional = header + 24;
    const std::size_t sections = optional + bytes.At(header + 20, 2);
    const bool plus = bytes.At(optional, 2) == 0x20B; // PE32+: 64-bit fields
    const std::size_t importDirectory = optional + (plus ? 120 : 104);
    std::size_t descriptor = 0;
    if (!FileOffset(bytes, sections, sectionCount, bytes.At(importDirectory, 4), descriptor)) {
        return file;
    }
    for (; descriptor + 20 <= bytes.Size() && bytes.At(descriptor + 12, 4) != 0; descriptor += 20) {
        std::size_t name = 0;
        if (FileOffset(bytes, sections, sectionCount, bytes.At(descriptor + 12, 4), name)) {
            file.imports.push_back(bytes.Text(name));
        }
    }
    return file;
}

PeFile PeFile::Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    return Parse(bytes);
}

} // namespace xlhost
