#pragma once

namespace vornix {

// Declared once at namespace scope in an add-in's source, it asks for Excel 12 records in every
// Excel from version 12 (2007) on:
//
//     const vornix::Excel12RecordsDeclaration excel12Records;
//
// Without it only Excel 12 itself gets them and every later Excel runs Excel 4 records, as every
// version reads them. With it, Excel 14 to 16 get the Excel 12 type codes ("Q", "U", "C%"),
// calls through the Excel 12 entry, "$" for thread-safe functions and texts of up to 32,767
// characters. The gateway reads the request when it is made, at add-in open.
class Excel12RecordsDeclaration {
public:
    Excel12RecordsDeclaration();
    ~Excel12RecordsDeclaration();
    Excel12RecordsDeclaration(const Excel12RecordsDeclaration&) = delete;
    Excel12RecordsDeclaration& operator=(const Excel12RecordsDeclaration&) = delete;

    // Whether a declaration exists.
    static bool Declared();
};

} // namespace vornix
