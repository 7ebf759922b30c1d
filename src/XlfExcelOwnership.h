#pragma once

#include <cstddef>

namespace vornix {

// Which result records hold contents that Excel allocated and that must go back to Excel through
// xlFree, exactly once. The gateway notes a record when a call to Excel succeeds and fills it with
// a text, an array or a reference; the wrapper holding the record hands the contents back and
// forgets it. The type word of the record stays Excel's own, so a record the library passes back
// to Excel never carries a bit Excel does not know.
//
// A record is known by its address together with the first word of its value (the pointer to the
// contents): a stale note for an address that now holds something else never matches. Notes
// live beside the gateway, so values that outlive it are still recognised.
class XlfExcelOwnership {
public:
    // Notes the record with its present contents, replacing an older note for the address.
    static void Note(const void* record);
    // Whether the record is noted with the contents it holds now.
    static bool IsNoted(const void* record);
    // Forgets the record's note; true when it was noted with the contents it holds now.
    static bool Forget(const void* record);
    // Records noted at present.
    static std::size_t Count();

private:
    static bool Look(const void* record, bool forget);
};

} // namespace vornix
