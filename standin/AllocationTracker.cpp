#include "AllocationTracker.h"

#include <iomanip>
#include <sstream>
#include <utility>

namespace xlstandin {

void AllocationTracker::Track(const void* address, ResultMemory memory) {
    std::lock_guard<std::mutex> guard(lock_);
    // The allocator may hand out an address again once it was released.
    released_.erase(address);
    live_[address] = std::move(memory);
}

bool AllocationTracker::Release(DWORD type, const void* address) {
    std::lock_guard<std::mutex> guard(lock_);
    const auto found = live_.find(address);
    if (found != live_.end()) {
        found->second.Poison();
        live_.erase(found);
        released_.insert(address);
        return true;
    }
    const bool again = released_.count(address) != 0;
    problems_.push_back(FreeProblem{
        again ? FreeProblem::Kind::DoubleFree : FreeProblem::Kind::UnknownFree, type, address});
    return false;
}

void AllocationTracker::NoteInvalid(DWORD type) {
    std::lock_guard<std::mutex> guard(lock_);
    problems_.push_back(FreeProblem{FreeProblem::Kind::InvalidRecord, type, nullptr});
}

std::vector<FreeProblem> AllocationTracker::TakeProblems() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<FreeProblem> taken;
    taken.swap(problems_);
    return taken;
}

std::size_t AllocationTracker::Outstanding() const {
    std::lock_guard<std::mutex> guard(lock_);
    return live_.size();
}

std::size_t AllocationTracker::CountOf(FreeProblem::Kind kind) const {
    std::lock_guard<std::mutex> guard(lock_);
    return CountOfLocked(kind);
}

std::size_t AllocationTracker::CountOfLocked(FreeProblem::Kind kind) const {
    std::size_t count = 0;
    for (const FreeProblem& problem : problems_) {
        count += problem.kind == kind ? 1 : 0;
    }
    return count;
}

std::string AllocationTracker::Summary() const {
    std::lock_guard<std::mutex> guard(lock_);
    const std::size_t twice = CountOfLocked(FreeProblem::Kind::DoubleFree);
    const std::size_t foreign = problems_.size() - twice;
    if (live_.empty() && problems_.empty()) {
        return "";
    }
    return std::to_string(live_.size()) + " never freed, " + std::to_string(twice) +
           " freed twice, " + std::to_string(foreign) + " freed but never handed out";
}

void AllocationTracker::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    live_.clear();
    released_.clear();
    problems_.clear();
}

std::ostream& operator<<(std::ostream& out, const FreeProblem& problem) {
    static const char* const names[] = {"double free", "free of memory never handed out",
                                        "free of an invalid record"};
    std::ostringstream type;
    type << std::hex << std::setw(4) << std::setfill('0') << problem.type;
    return out << names[static_cast<int>(problem.kind)] << " (type 0x" << type.str()
               << ", contents " << problem.address << ")";
}

} // namespace xlstandin
