// The exception barrier every worksheet function needs: Excel must never see an exception leave
// an export. An entry point hands its work to WorksheetCall::Run as a body and returns what Run
// returns:
//
//     XLF_EXPORT LPXLFOPER WINAPI MyTwice(double x) {
//         return vornix::WorksheetCall::Run([&] { return 2 * x; });
//     }
//
// Run resets the temporary memory of the thread's earlier calls, answers at once while the
// function wizard is open (the body does not run, no argument is converted), and otherwise runs
// the body and turns its value into what Excel receives. No exception leaves Run.
//
// Result is the C type the entry point returns, which its registration names:
// - LPXLFOPER (the default; registered with the library's value type, "XLF_OPER" or an empty
//   return type text): a value record in temporary memory. The body may return an LPXLFOPER (as
//   it is), an XlfOper (a value holding Excel's memory is copied first, so that the record
//   outlives it), a number of any arithmetic type (a number that is not finite becomes #NUM!, as
//   Excel shows one), a bool, a text (const char*, std::string, std::wstring), a CellMatrix, a
//   DoubleMatrix or a std::vector<double> (a column); an empty array answers #VALUE!.
// - double (registered "B"): the body returns a number. Excel shows #NUM! for NaN and infinities,
//   so every failure answers NaN; the wizard gets 1, TRUE as a number.
// Integer and boolean C results (registration letters A, H, I, J) are not offered: they cannot
// show a failure, which would then look like a result. Return a record for those.
//
// What Excel receives:
//
// | case                                                      | LPXLFOPER             | double |
// |-----------------------------------------------------------|-----------------------|--------|
// | the function wizard is open                               | TRUE                  | 1      |
// | XlfException and its subclasses (XlfExceptionAbort,       | null (Excel: #NUM!)   | NaN    |
// |   XlfExceptionUncalculated, XlfExceptionStackOverflow)    |                       |        |
// | other std::exception                                      | text of what()        | NaN    |
// | thrown std::string, const char* (char*)                   | that text             | NaN    |
// | thrown null const char*                                   | #VALUE!               | NaN    |
// | thrown CellMatrix                                         | that array (empty:    | NaN    |
// |                                                           |   #VALUE!)            |        |
// | anything else thrown                                      | #VALUE!               | NaN    |
// | the reset or an answer itself fails (e.g. out of memory)  | null (Excel: #NUM!)   | NaN    |
//
// The handlers are tried in this order, so the library's own exceptions, which derive from
// std::exception, never reach the cell as text. Another result kind can be added by
// specialising WorksheetCall::Answers.
#pragma once

#include <vornix/CellMatrix.h>
#include <vornix/DoubleMatrix.h>
#include <vornix/ExcelApi.h>
#include <vornix/XlfExcel.h>
#include <vornix/XlfException.h>
#include <vornix/XlfOper.h>

#include <cstddef>
#include <exception>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

namespace vornix {

class WorksheetCall {
public:
    // What a result kind answers in each case of the table above: Wizard(), Null() (library
    // exceptions and failures of the barrier), Text(message), Cells(thrown cells), Unknown()
    // (anything else) and From(the body's value).
    template <typename Result> struct Answers;

    template <typename Result = LPXLFOPER, typename Body> static Result Run(Body body) {
        static_assert(!std::is_void<decltype(body())>::value,
                      "a worksheet function's body returns its result");
        using Kind = Answers<Result>;
        try {
            XlfExcel::Instance().FreeMemory(false);
            return Answer<Kind>(body);
        } catch (...) {
            return Kind::Null();
        }
    }

private:
    template <typename Kind, typename Body> static auto Answer(Body& body) {
        try {
            if (XlfExcel::Instance().IsCalledByFunctionWizard()) {
                return Kind::Wizard();
            }
            return Kind::From(body());
        } catch (XlfException&) {
            return Kind::Null();
        } catch (std::exception& error) {
            return Kind::Text(error.what());
        } catch (std::string& text) {
            return Kind::Text(text);
        } catch (const char* text) {
            return Kind::Text(text);
        } catch (const CellMatrix& cells) {
            return Kind::Cells(cells);
        } catch (...) {
            return Kind::Unknown();
        }
    }
};

template <> struct WorksheetCall::Answers<LPXLFOPER> {
    static LPXLFOPER Wizard();
    static LPXLFOPER Null() { return nullptr; }
    // A null text is no text: #VALUE!.
    static LPXLFOPER Text(const char* text);
    static LPXLFOPER Text(const std::string& text);
    static LPXLFOPER Cells(const CellMatrix& cells);
    static LPXLFOPER Unknown();

    static LPXLFOPER From(LPXLFOPER record) { return record; }
    static LPXLFOPER From(std::nullptr_t) { return nullptr; }
    static LPXLFOPER From(const XlfOper& value);
    static LPXLFOPER From(double number);
    static LPXLFOPER From(bool value);
    template <typename Number, typename = std::enable_if_t<std::is_arithmetic<Number>::value &&
                                                           !std::is_same<Number, bool>::value>>
    static LPXLFOPER From(Number number) {
        return From(static_cast<double>(number));
    }
    static LPXLFOPER From(const char* text) { return Text(text); }
    static LPXLFOPER From(const std::string& text) { return Text(text); }
    static LPXLFOPER From(const std::wstring& text);
    static LPXLFOPER From(const CellMatrix& cells) { return Cells(cells); }
    static LPXLFOPER From(const DoubleMatrix& numbers);
    static LPXLFOPER From(const std::vector<double>& numbers);
};

template <> struct WorksheetCall::Answers<double> {
    static double Wizard() { return 1; }
    static double Null() { return Failed(); }
    static double Text(const char*) { return Failed(); }
    static double Text(const std::string&) { return Failed(); }
    static double Cells(const CellMatrix&) { return Failed(); }
    static double Unknown() { return Failed(); }

    template <typename Number> static double From(Number number) {
        static_assert(std::is_arithmetic<Number>::value,
                      "a worksheet function registered with a number result returns a number");
        return static_cast<double>(number);
    }

private:
    static double Failed() { return std::numeric_limits<double>::quiet_NaN(); }
};

} // namespace vornix
