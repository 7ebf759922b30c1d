// Counters of the calls that dominate a worksheet call's cost; relaxed atomics, since readers only
// compare two readings taken on the same thread.
#include <Win32Compat.h>

#include <atomic>

namespace win32compat {

namespace {

struct Counters {
    std::atomic<unsigned long long> mutexOpens{0};
    std::atomic<unsigned long long> mutexWaits{0};
    std::atomic<unsigned long long> mutexReleases{0};
    std::atomic<unsigned long long> handleCloses{0};
    std::atomic<unsigned long long> windowSearches{0};
};

Counters& TheCounters() {
    static Counters counters;
    return counters;
}

void Count(std::atomic<unsigned long long>& counter) {
    counter.fetch_add(1, std::memory_order_relaxed);
}

unsigned long long Read(const std::atomic<unsigned long long>& counter) {
    return counter.load(std::memory_order_relaxed);
}

} // namespace

CallCounts Counts() {
    const Counters& counters = TheCounters();
    return CallCounts{Read(counters.mutexOpens), Read(counters.mutexWaits),
                      Read(counters.mutexReleases), Read(counters.handleCloses),
                      Read(counters.windowSearches)};
}

void CountMutexOpen() {
    Count(TheCounters().mutexOpens);
}

void CountMutexWait() {
    Count(TheCounters().mutexWaits);
}

void CountMutexRelease() {
    Count(TheCounters().mutexReleases);
}

void CountHandleClose() {
    Count(TheCounters().handleCloses);
}

void CountWindowSearch() {
    Count(TheCounters().windowSearches);
}

} // namespace win32compat
