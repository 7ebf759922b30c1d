#include "CaseFile.h"

#include "FormulaParser.h"
#include "LineFile.h"

namespace xlhost {

namespace {

constexpr const char* arrow = "=>";

} // namespace

bool CaseFile::Read(const std::string& path, const SheetGrid& grid, std::vector<CaseLine>& cases,
                    std::string& error) {
    std::vector<std::string> lines;
    return LineFile::Read(path, lines, error) && Parse(lines, path, grid, cases, error);
}

bool CaseFile::Parse(const std::vector<std::string>& lines, const std::string& name,
                     const SheetGrid& grid, std::vector<CaseLine>& cases, std::string& error) {
    cases.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (LineFile::IsComment(lines[i])) {
            continue;
        }
        CaseLine line;
        line.number = static_cast<int>(i + 1);
        std::string reason;
        line.setsCells = CellLine::IsCellLine(lines[i]);
        const bool read = line.setsCells ? CellLine::Parse(lines[i], grid, line.cells, reason)
                                         : ParseCase(lines[i], grid, line, reason);
        if (!read) {
            error = name + ":" + std::to_string(line.number) + ": " + reason;
            return false;
        }
        cases.push_back(line);
    }
    return true;
}

// The formula ends at the first "=>" before which it reads: texts in the formula or the
// expected result may hold "=>" themselves.
bool CaseFile::ParseCase(const std::string& text, const SheetGrid& grid, CaseLine& line,
                         std::string& reason) {
    std::size_t at = text.find(arrow);
    if (at == std::string::npos) {
        reason = "expected FORMULA => EXPECTED, or REF=VALUE";
        return false;
    }
    std::string firstReason;
    for (; at != std::string::npos; at = text.find(arrow, at + 1)) {
        const std::string formula = LineFile::Trim(text.substr(0, at));
        if (FormulaParser::Parse(formula, line.formula, reason, grid)) {
            line.formulaText = formula;
            line.expected = LineFile::Trim(text.substr(at + 2));
            if (line.expected.empty()) {
                reason = "no expected result after \"=>\"";
                return false;
            }
            return true;
        }
        if (firstReason.empty()) {
            firstReason = reason;
        }
    }
    reason = "cannot read formula: " + firstReason;
    return false;
}

} // namespace xlhost
