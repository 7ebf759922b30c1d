#include "XlfLog.h"

#include <iostream>
#include <string>

namespace vornix {

namespace {

struct Location {
    const char* unit;
    int line;
};

// The location prefixes of the diagnostic lines, in the order of XlfLog::Site. They are fixed
// identifiers of the diagnostic output, which readers and tools look for; they are not source
// lines and do not move with the code.
constexpr Location Locations[] = {
    {"XlOpenClose", 56},        {"XlOpenClose", 74},   {"XlOpenClose", 83},
    {"XlOpenClose", 96},        {"XlOpenClose", 101},  {"XlOpenClose", 106},
    {"XlOpenClose", 125},       {"XlfArgDesc", 37},    {"XlfAbstractCmdDesc", 62},
    {"XlfAbstractCmdDesc", 78}, {"XlfExcel", 181},     {"XlfMutexLock", 28},
    {"XlfOperImpl4", 78},       {"XlfOperImpl12", 77}, {"XlfOper4", 81},
    {"XlfOperImpl4", 782},      {"XlfOperImpl4", 813}, {"XlfOper4", 968},
    {"XlfFuncDesc", 56},
};
static_assert(sizeof(Locations) / sizeof(Locations[0]) == XlfLog::ThreadSafeDropped + 1,
              "one location for each site");

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

XlfLog::Line XlfLog::At(Site site) {
    return At(Locations[site].unit, Locations[site].line);
}

} // namespace vornix
