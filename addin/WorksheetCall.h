#pragma once

#include <vornix/CellMatrix.h>
#include <vornix/XlfExcel.h>
#include <vornix/XlfException.h>
#include <vornix/XlfOper.h>

#include <exception>
#include <string>

// The shape every worksheet function shares. Temporary memory of earlier calls is reset first;
// called from the function wizard, the function answers TRUE without looking at its arguments;
// otherwise body() computes the result record. No exception leaves: the library's own become a
// null result, other exceptions and thrown texts become text, a thrown CellMatrix becomes an
// array, anything else #VALUE!. Should even that fail, the result is null.
class WorksheetCall {
public:
    template <typename Body> static LPXLFOPER Run(Body body) {
        try {
            vornix::XlfExcel::Instance().FreeMemory(false);
            return Answer(body);
        } catch (...) {
            return nullptr;
        }
    }

    // A whole number of bits or digits: truncated toward zero and held to the 32-bit range;
    // NaN counts as 0.
    static int Count(double value);

private:
    template <typename Body> static LPXLFOPER Answer(Body body) {
        using vornix::XlfOper;
        try {
            if (vornix::XlfExcel::Instance().IsCalledByFunctionWizard())
                return XlfOper(true).AsValuePointer();
            return body();
        } catch (vornix::XlfException&) {
            return nullptr;
        } catch (std::exception& error) {
            return XlfOper(error.what()).AsValuePointer();
        } catch (std::string& text) {
            return XlfOper(text).AsValuePointer();
        } catch (const char* text) {
            return XlfOper(text).AsValuePointer();
        } catch (const vornix::CellMatrix& cells) {
            return XlfOper(cells).AsValuePointer();
        } catch (...) {
            return XlfOper::Error(xlerrValue).AsValuePointer();
        }
    }
};
