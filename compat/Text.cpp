// Byte-string length and comparison.
#include <windows.h>

#include <cstring>

namespace {

// A negative count means NUL-terminated; a counted text still ends at an embedded NUL.
std::size_t TextLength(LPCSTR text, int count) {
    if (count < 0) {
        return std::strlen(text);
    }
    const void* end = std::memchr(text, '\0', static_cast<std::size_t>(count));
    return end == nullptr ? static_cast<std::size_t>(count)
                          : static_cast<std::size_t>(static_cast<const char*>(end) - text);
}

// Folding to lower case makes '_' sort before letters either way, as in Windows' collation.
int Fold(char c, bool ignoreCase) {
    const auto byte = static_cast<unsigned char>(c);
    return ignoreCase && byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
}

int Ordinal(LPCSTR text1, std::size_t length1, LPCSTR text2, std::size_t length2, bool ignoreCase) {
    const std::size_t common = length1 < length2 ? length1 : length2;
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = Fold(text1[i], ignoreCase) - Fold(text2[i], ignoreCase);
        if (difference != 0) {
            return difference < 0 ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
        }
    }
    if (length1 == length2) {
        return CSTR_EQUAL;
    }
    return length1 < length2 ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}

} // namespace

int WINAPI lstrlenA(LPCSTR text) {
    return text == nullptr ? 0 : static_cast<int>(std::strlen(text));
}

// Compares byte by byte rather than by Windows' linguistic rules, which is all that comparing
// class names and other ASCII identifiers needs. Flags other than NORM_IGNORECASE are refused
// rather than silently ignored.
int WINAPI CompareStringA(LCID /*locale*/, DWORD flags, LPCSTR text1, int count1, LPCSTR text2,
                          int count2) {
    if (text1 == nullptr || text2 == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((flags & ~NORM_IGNORECASE) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    return Ordinal(text1, TextLength(text1, count1), text2, TextLength(text2, count2),
                   (flags & NORM_IGNORECASE) != 0);
}
