#include <vornix/WorksheetCall.h>

#include <cmath>

namespace vornix {

using RecordAnswers = WorksheetCall::Answers<LPXLFOPER>;

LPXLFOPER RecordAnswers::Wizard() {
    return XlfOper(true).AsValuePointer();
}

LPXLFOPER RecordAnswers::Text(const char* text) {
    if (text == nullptr) {
        return Unknown();
    }
    return XlfOper(text).AsValuePointer();
}

LPXLFOPER RecordAnswers::Text(const std::string& text) {
    return XlfOper(text).AsValuePointer();
}

// Excel has no empty array.
LPXLFOPER RecordAnswers::Cells(const CellMatrix& cells) {
    if (cells.RowCount() == 0 || cells.ColumnCount() == 0) {
        return Unknown();
    }
    return XlfOper(cells).AsValuePointer();
}

LPXLFOPER RecordAnswers::Unknown() {
    return XlfOper::Error(xlerrValue).AsValuePointer();
}

// A copy of a value holding Excel's memory has contents of its own in temporary memory; a copy
// of any other value shares its record.
LPXLFOPER RecordAnswers::From(const XlfOper& value) {
    return XlfOper(value).AsValuePointer();
}

LPXLFOPER RecordAnswers::From(double number) {
    if (!std::isfinite(number)) {
        return XlfOper::Error(xlerrNum).AsValuePointer();
    }
    return XlfOper(number).AsValuePointer();
}

LPXLFOPER RecordAnswers::From(bool value) {
    return XlfOper(value).AsValuePointer();
}

LPXLFOPER RecordAnswers::From(const std::wstring& text) {
    return XlfOper(text).AsValuePointer();
}

LPXLFOPER RecordAnswers::From(const DoubleMatrix& numbers) {
    return Cells(CellMatrix(numbers));
}

LPXLFOPER RecordAnswers::From(const std::vector<double>& numbers) {
    return Cells(CellMatrix(numbers));
}

} // namespace vornix
