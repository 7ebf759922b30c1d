#include "XlfExcelOwnership.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace vornix {

namespace {

struct Entry {
    const void* record;
    std::uintptr_t contents;
};

// Few records are noted at a time (a value is handed back soon after Excel gave it), so a short
// list serves; the count lets the common case, nothing noted, go without the lock.
struct Notes {
    std::mutex lock;
    std::vector<Entry> notes;
    std::atomic<std::size_t> count{0};
};

Notes& TheNotes() {
    static Notes* const notes = new Notes(); // values may be destroyed while the process ends
    return *notes;
}

// Both record layouts begin with the value; for texts, arrays and references its first word is
// the pointer to what Excel allocated.
std::uintptr_t ContentsOf(const void* record) {
    std::uintptr_t contents = 0;
    std::memcpy(&contents, record, sizeof contents);
    return contents;
}

std::vector<Entry>::iterator Find(std::vector<Entry>& notes, const void* record) {
    return std::find_if(notes.begin(), notes.end(),
                        [record](const Entry& note) { return note.record == record; });
}

} // namespace

void XlfExcelOwnership::Note(const void* record) {
    Notes& all = TheNotes();
    std::lock_guard<std::mutex> guard(all.lock);
    const auto found = Find(all.notes, record);
    if (found != all.notes.end())
        found->contents = ContentsOf(record);
    else
        all.notes.push_back(Entry{record, ContentsOf(record)});
    all.count = all.notes.size();
}

bool XlfExcelOwnership::IsNoted(const void* record) {
    return Look(record, false);
}

bool XlfExcelOwnership::Forget(const void* record) {
    return Look(record, true);
}

// Whether the record is noted with the contents it holds now; forget drops its note either way.
bool XlfExcelOwnership::Look(const void* record, bool forget) {
    Notes& all = TheNotes();
    if (all.count == 0 || record == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(all.lock);
    const auto found = Find(all.notes, record);
    if (found == all.notes.end())
        return false;
    const bool current = found->contents == ContentsOf(record);
    if (forget) {
        all.notes.erase(found);
        all.count = all.notes.size();
    }
    return current;
}

std::size_t XlfExcelOwnership::Count() {
    return TheNotes().count;
}

} // namespace vornix
