#include "CallCost.h"

#include "AllocationCounter.h"
#include "CountedExcel.h"

#include <Win32Compat.h>

void CallCost::Meter::Start() {
    const win32compat::CallCounts counts = win32compat::Counts();
    mutexOpens_ = counts.mutexOpens;
    mutexWaits_ = counts.mutexWaits;
    mutexReleases_ = counts.mutexReleases;
    handleCloses_ = counts.handleCloses;
    windowSearches_ = counts.windowSearches;
    callbacks_ = CountedExcel::Callbacks();
    allocations_ = AllocationCounter::Count();
    AllocationCounter::Start();
}

CallCost CallCost::Meter::Stop(double calls) const {
    AllocationCounter::Stop();
    const win32compat::CallCounts counts = win32compat::Counts();
    const unsigned long long opens = counts.mutexOpens - mutexOpens_;
    const bool wholeCycles = counts.mutexWaits - mutexWaits_ == opens &&
                             counts.mutexReleases - mutexReleases_ == opens &&
                             counts.handleCloses - handleCloses_ == opens;
    CallCost cost;
    cost.allocations = static_cast<double>(AllocationCounter::Count() - allocations_) / calls;
    cost.mutexCycles = wholeCycles ? static_cast<double>(opens) / calls : -1;
    cost.windowSearches = static_cast<double>(counts.windowSearches - windowSearches_) / calls;
    cost.callbacks = static_cast<double>(CountedExcel::Callbacks() - callbacks_) / calls;
    return cost;
}
