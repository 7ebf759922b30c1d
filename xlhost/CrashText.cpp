#include "CrashText.h"

#include <cstdio>

namespace xlhost {

namespace {

struct Known {
    std::uint32_t code;
    const char* words;
};

constexpr Known knownExceptions[] = {
    {0xC0000094u, "integer division by zero"},
    {0xC0000095u, "integer overflow"},
    {0xC00000FDu, "stack overflow"},
    {0xC000001Du, "illegal instruction"},
    {0xC0000096u, "privileged instruction"},
    {0xC0000006u, "page fault reading a file"},
    {0xC0000409u, "stack buffer overrun"},
    {0x80000003u, "breakpoint"},
    {0x80000002u, "misaligned data"},
    {0xC000008Cu, "array bounds exceeded"},
    {0xC000008Eu, "floating-point division by zero"},
    {0xE06D7363u, "uncaught C++ exception (Microsoft C++)"},
    {0x20474343u, "uncaught C++ exception"},
};

constexpr std::uint32_t accessViolation = 0xC0000005u;

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

std::string CrashText::Describe(std::uint32_t code, std::uint64_t access, std::uint64_t address,
                                bool withAddress) {
    if (code == accessViolation) {
        if (!withAddress) {
            return "access violation";
        }
        const char* kind = access == 0 ? "reading" : access == 1 ? "writing" : "executing";
        return std::string("access violation ") + kind + " " + Hex(address);
    }
    for (const Known& known : knownExceptions) {
        if (known.code == code) {
            return known.words;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "exception 0x%08X", static_cast<unsigned>(code));
    return text;
}

std::string CrashText::Line(const std::string& where, const std::string& what) {
    return "xlhost: add-in crashed in " + where + ": " + what;
}

} // namespace xlhost
