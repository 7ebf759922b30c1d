#include "XlfLog.h"

#include <iostream>
#include <string>

namespace vornix {

namespace {

std::recursive_mutex& LineLock() {
    static std::recursive_mutex* const lock = new std::recursive_mutex(); // lines may come late
    return *lock;
}

} // namespace

std::ostream& XlfLog::Line::Stream() {
    return std::cerr;
}

XlfLog::Line XlfLog::At(const char* unit, int line) {
    const std::string prefix =
        std::string("..\\..\\src\\") + unit + "(" + std::to_string(line) + "): ";
    Line written{std::unique_lock<std::recursive_mutex>(LineLock())};
    written << prefix;
    return written;
}

} // namespace vornix
