#include "CellReference.h"

#include <algorithm>
#include <utility>

namespace xlhost {

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// What may follow a name without ending it; bytes of non-ASCII characters count as letters.
bool ContinuesName(char c) {
    return IsLetter(c) || IsDigit(c) || c == '_' || c == '.' ||
           static_cast<unsigned char>(c) >= 0x80;
}

char At(const std::string& text, std::size_t position) {
    return position < text.size() ? text[position] : '\0';
}

// Column letters beyond three, and row numbers beyond eight digits, are past every grid.
constexpr std::size_t maxLetters = 3;
constexpr std::int64_t pastEveryGrid = 100000000;

} // namespace

bool CellReferenceReader::Read(const std::string& text, std::size_t& position,
                               const SheetGrid& grid, CellReference& reference,
                               std::string& reason) {
    reason.clear();
    std::size_t at = position;
    std::string sheet;
    const bool hasSheet = ReadSheet(text, at, sheet);
    if (!hasSheet && At(text, position) == '\'') {
        reason = "a quoted sheet name needs \"!\" and a cell after it";
        return false;
    }
    std::int64_t rows[2] = {0, 0};
    std::int64_t columns[2] = {0, 0};
    const bool cell = ReadCell(text, at, rows[0], columns[0]);
    bool range = false;
    if (cell && At(text, at) == ':') {
        ++at;
        range = true;
        if (!ReadCell(text, at, rows[1], columns[1])) {
            reason = "expected a cell after \":\"";
            return false;
        }
    }
    if (!cell || ContinuesName(At(text, at)) || At(text, at) == '(' || At(text, at) == '$') {
        if (hasSheet) {
            reason = "expected a cell after \"" + sheet + "!\"";
        }
        return false; // a name or a call, not a reference
    }
    if (!range) {
        rows[1] = rows[0];
        columns[1] = columns[0];
    }
    for (int i = 0; i < 2; ++i) {
        if (rows[i] < 1 || rows[i] > grid.rows || columns[i] > grid.columns) {
            reason = "\"" + text.substr(position, at - position) +
                     "\" reaches beyond the sheet's last cell " + LastCell(grid);
            return false;
        }
    }
    reference.sheet = sheet;
    reference.area =
        xlstandin::CellArea{static_cast<std::int32_t>(std::min(rows[0], rows[1]) - 1),
                            static_cast<std::int32_t>(std::max(rows[0], rows[1]) - 1),
                            static_cast<std::int32_t>(std::min(columns[0], columns[1]) - 1),
                            static_cast<std::int32_t>(std::max(columns[0], columns[1]) - 1)};
    position = at;
    return true;
}

// A sheet name and its "!": quoted, with '' for a quote, or a plain name.
bool CellReferenceReader::ReadSheet(const std::string& text, std::size_t& position,
                                    std::string& sheet) {
    std::size_t at = position;
    std::string name;
    if (At(text, at) == '\'') {
        for (++at;; ++at) {
            if (at >= text.size()) {
                return false;
            }
            if (text[at] == '\'') {
                if (At(text, at + 1) != '\'') {
                    break;
                }
                ++at;
            }
            name += text[at];
        }
        ++at;
    } else {
        while (ContinuesName(At(text, at))) {
            name += text[at++];
        }
    }
    if (name.empty() || At(text, at) != '!') {
        return false;
    }
    sheet = name;
    position = at + 1;
    return true;
}

bool CellReferenceReader::ReadCell(const std::string& text, std::size_t& position,
                                   std::int64_t& row, std::int64_t& column) {
    std::size_t at = position;
    if (At(text, at) == '$') {
        ++at;
    }
    std::size_t letters = 0;
    column = 0;
    // Letters beyond the most a column has make no cell; they are counted, not added up, so
    // that a long run of them cannot overflow the column.
    for (; IsLetter(At(text, at)); ++at, ++letters) {
        if (letters < maxLetters) {
            const char upper = static_cast<char>(text[at] & ~0x20);
            column = column * 26 + (upper - 'A' + 1);
        }
    }
    if (letters == 0 || letters > maxLetters) {
        return false;
    }
    if (At(text, at) == '$') {
        ++at;
    }
    if (!IsDigit(At(text, at))) {
        return false;
    }
    row = 0;
    for (; IsDigit(At(text, at)); ++at) {
        row = std::min(pastEveryGrid, row * 10 + (text[at] - '0'));
    }
    position = at;
    return true;
}

std::string CellReferenceReader::CellName(std::int32_t row, std::int32_t column) {
    return ColumnName(column) + std::to_string(row + 1);
}

std::string CellReferenceReader::ColumnName(std::int32_t column) {
    std::string letters;
    for (std::int32_t rest = column + 1; rest > 0; rest = (rest - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (rest - 1) % 26));
    }
    return letters;
}

std::string CellReferenceReader::LastCell(const SheetGrid& grid) {
    return CellName(grid.rows - 1, grid.columns - 1);
}

} // namespace xlhost
