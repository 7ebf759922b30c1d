// Keeps the memory of every record the stand-in handed out until xlFree releases it, and notes
// frees that Excel would not survive: a second free, or a free of memory it never gave out.
// Safe to use from several threads; Problems() is for reading once the calls are over.
#pragma once

#include "ResultMemory.h"
#include <vornix/ExcelApi.h>

#include <cstddef>
#include <map>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace xlstandin {

struct FreeProblem {
    enum class Kind {
        DoubleFree,   // contents handed out and already freed
        UnknownFree,  // contents the stand-in never handed out
        InvalidRecord // a type word that is no value type (for example with a foreign bit set)
    };
    Kind kind;
    DWORD type;          // type word of the record given to xlFree
    const void* address; // its contents pointer, if it has one
};

std::ostream& operator<<(std::ostream& out, const FreeProblem& problem);

class AllocationTracker {
public:
    // Memory reachable from a handed-out record through address, its contents pointer.
    void Track(const void* address, ResultMemory memory);
    // Releases the memory behind address (true), or notes why it cannot.
    bool Release(DWORD type, const void* address);
    void NoteInvalid(DWORD type);

    std::size_t Outstanding() const;
    std::size_t CountOf(FreeProblem::Kind kind) const;
    // One line on what went wrong with the memory handed out ("2 never freed, 1 freed twice,
    // 0 freed but never handed out"); empty when nothing did.
    std::string Summary() const;
    const std::vector<FreeProblem>& Problems() const { return problems_; }
    std::vector<FreeProblem> TakeProblems();

    // Drops everything, including memory not freed yet.
    void Clear();

private:
    std::size_t CountOfLocked(FreeProblem::Kind kind) const;

    mutable std::mutex lock_;
    std::map<const void*, ResultMemory> live_;
    std::set<const void*> released_;
    std::vector<FreeProblem> problems_;
};

} // namespace xlstandin
