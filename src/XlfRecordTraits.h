#pragma once

#include <vornix/ExcelApi.h>

#include <cstdint>
#include <limits>

namespace vornix {

// What differs between the two record layouts in width and limits. Everything else about
// the records is shared by the value implementations.
template <typename Record> struct XlfRecordTraits;

template <> struct XlfRecordTraits<XLOPER> {
    using TypeWord = WORD;
    using Unit = char; // string units
    using MultiRef = XLMREF;
    using RowField = WORD;
    using ColumnField = BYTE;
    // Counts of an array are 16 bits; references cover the Excel 4 grid.
    static constexpr std::int64_t MaxArrayRows = 0xFFFF;
    static constexpr std::int64_t MaxArrayColumns = 0xFFFF;
    static constexpr std::int64_t MaxReferenceRows = 0x10000;
    static constexpr std::int64_t MaxReferenceColumns = 0x100;
    static constexpr const char* VersionName = "Excel 4";
};

template <> struct XlfRecordTraits<XLOPER12> {
    using TypeWord = DWORD;
    using Unit = XCHAR;
    using MultiRef = XLMREF12;
    using RowField = RW;
    using ColumnField = COL;
    static constexpr std::int64_t MaxArrayRows = std::numeric_limits<RW>::max();
    static constexpr std::int64_t MaxArrayColumns = std::numeric_limits<COL>::max();
    static constexpr std::int64_t MaxReferenceRows = std::int64_t{std::numeric_limits<RW>::max()};
    static constexpr std::int64_t MaxReferenceColumns =
        std::int64_t{std::numeric_limits<COL>::max()};
    static constexpr const char* VersionName = "Excel 12";
};

} // namespace vornix
