#include <vornix/FunctionDeclaration.h>
#include <vornix/WorksheetCall.h>
#include <vornix/XlfExport.h>
#include <vornix/XlfOper.h>

namespace {
const vornix::ArgumentInfo twiceArguments[] = {{"x", " A number ", "XLF_OPER"}};
const vornix::FunctionDeclaration twice("xlTwice", "Twice", " Doubles a number ", "Examples",
                                        twiceArguments, 1, false, false, "");
} // namespace

// WorksheetCall frees the results of the thread's last call, answers the function wizard and
// keeps every exception from reaching Excel.
XLF_EXPORT LPXLFOPER WINAPI xlTwice(LPXLFOPER x) {
    return vornix::WorksheetCall::Run([&] { return 2 * vornix::XlfOper(x).AsDouble("x"); });
}
