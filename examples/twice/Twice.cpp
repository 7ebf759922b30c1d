#include <vornix/FunctionDeclaration.h>
#include <vornix/XlfExcel.h>
#include <vornix/XlfExport.h>
#include <vornix/XlfOper.h>

namespace {
const vornix::ArgumentInfo twiceArguments[] = {{"x", " A number ", "XLF_OPER"}};
const vornix::FunctionDeclaration twice("xlTwice", "Twice", " Doubles a number ", "Examples",
                                        twiceArguments, 1, false, false, "");
} // namespace

XLF_EXPORT LPXLFOPER WINAPI xlTwice(LPXLFOPER x) {
    try {
        vornix::XlfExcel::Instance().FreeMemory(false); // results of the last call are done with
        return vornix::XlfOper(2 * vornix::XlfOper(x).AsDouble("x")).AsValuePointer();
    } catch (...) {
        return nullptr; // no exception may reach Excel
    }
}
