#include "MessageInserts.h"

#include <cstddef>

namespace xlhost {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The end of the insert that starts with the "%" at start, or start itself for other text.
std::size_t InsertEnd(const std::string& message, std::size_t start) {
    std::size_t end = start + 1;
    if (end >= message.size() || !IsDigit(message[end]) || message[end] == '0') {
        return start;
    }
    while (end < message.size() && end < start + 3 && IsDigit(message[end])) {
        ++end;
    }
    if (end < message.size() && message[end] == '!') {
        const std::size_t closing = message.find('!', end + 1);
        end = closing == std::string::npos ? end : closing + 1;
    }
    return end;
}

} // namespace

std::string MessageInserts::Fill(const std::string& message, const std::string& first) {
    std::string filled;
    for (std::size_t at = 0; at < message.size();) {
        const std::size_t end = message[at] == '%' ? InsertEnd(message, at) : at;
        if (end == at) {
            filled += message[at++];
            continue;
        }
        const bool isFirst =
            message.compare(at, 2, "%1") == 0 && (end == at + 2 || message[at + 2] == '!');
        if (isFirst) {
            filled += first;
        } else if (!filled.empty() && filled.back() == ' ') {
            filled.pop_back();
        }
        at = end;
    }
    return filled;
}

} // namespace xlhost
