// A test add-in on the vornix library with thread-safe functions whose results vary in size:
// texts, and columns holding a text and numbers. ts_Plain is the same as ts_Text but not
// thread-safe, so that Excel runs it on the main thread while the others run on calculation
// threads. tsLiveMemories, an export Excel never sees, tells a test how many threads hold a
// temporary memory of the library. Built a second time with THREADS_ADDIN_ASKS_EXCEL12 defined,
// as an add-in that asks for Excel 12 records in every Excel from version 12 on.
#include "XlfThreadMemories.h"

#include <vornix/CellMatrix.h>
#include <vornix/Excel12RecordsDeclaration.h>
#include <vornix/FunctionDeclaration.h>
#include <vornix/WorksheetCall.h>
#include <vornix/XlfExport.h>

#include <string>

namespace {

#ifdef THREADS_ADDIN_ASKS_EXCEL12
const vornix::Excel12RecordsDeclaration excel12Records;
#endif

const vornix::ArgumentInfo sizeArgument[] = {{"size", " Size of the result ", "B"}};
const vornix::FunctionDeclaration text("tsText", "ts_Text", " A text of size characters ", "Tests",
                                       sizeArgument, 1, false, true, "");
const vornix::FunctionDeclaration column("tsColumn", "ts_Column",
                                         " A column of size cells: a text, then numbers ", "Tests",
                                         sizeArgument, 1, false, true, "");
const vornix::FunctionDeclaration plain("tsPlain", "ts_Plain", " ts_Text, not thread-safe ",
                                        "Tests", sizeArgument, 1, false, false, "");

// Characters that tell texts of different sizes apart at every position.
std::string TextOf(unsigned size) {
    std::string result;
    for (unsigned i = 0; i < size; ++i) {
        result.push_back(static_cast<char>('a' + (i * 7 + size) % 26));
    }
    return result;
}

unsigned SizeOf(double size) {
    return size < 1 ? 1 : size > 32767 ? 32767 : static_cast<unsigned>(size);
}

LPXLFOPER Text(double size) {
    return vornix::WorksheetCall::Run([size] { return TextOf(SizeOf(size)); });
}

} // namespace

XLF_EXPORT LPXLFOPER WINAPI tsText(double size) {
    return Text(size);
}

XLF_EXPORT LPXLFOPER WINAPI tsPlain(double size) {
    return Text(size);
}

XLF_EXPORT LPXLFOPER WINAPI tsColumn(double size) {
    return vornix::WorksheetCall::Run([size] {
        const unsigned rows = SizeOf(size);
        vornix::CellMatrix cells(rows, 1);
        cells(0, 0) = TextOf(rows % 200);
        for (unsigned row = 1; row < rows; ++row) {
            cells(row, 0) = rows * 1000.0 + row;
        }
        return cells;
    });
}

XLF_EXPORT int WINAPI tsLiveMemories() {
    return static_cast<int>(vornix::XlfThreadMemories::Count());
}
