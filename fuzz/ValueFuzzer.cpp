// The value wrapper on well-formed Excel records of every type, built from the input, in both
// Excel modes and under the "C" and a UTF-8 locale: every conversion of XlfOper and XlfOper4, in
// its quiet form (return code) and its throwing form, which must agree; values read straight
// from the record where no coercion is involved; setters read back. The stand-in checks after
// every input that each result it handed out came back through xlFree exactly once.
#include "FuzzCheck.h"
#include "FuzzValues.h"
#include "RecordKit.h"
#include "StandInRound.h"
#include <vornix/XlfOper.h>
#include <vornix/XlfOper4.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>
#include <string>
#include <vector>

using vornix::CellMatrix;
using vornix::DoubleMatrix;
using vornix::MatrixCell;
using vornix::XlfOper;
using vornix::XlfOper4;
using vornix::XlfRange;

namespace {

const int kErrorCodes[] = {0, 7, 15, 23, 29, 36, 42, 43};

bool Same(double a, double b) {
    return SameDouble(a, b);
}
bool Same(short a, short b) {
    return a == b;
}
bool Same(bool a, bool b) {
    return a == b;
}
bool Same(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}
bool Same(const std::wstring& a, const std::wstring& b) {
    return a == b;
}
bool Same(const XlfRange& a, const XlfRange& b) {
    return a == b;
}
bool Same(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!Same(a[i], b[i]))
            return false;
    return true;
}
bool Same(const MatrixCell& a, const MatrixCell& b) {
    if (a.IsStringCell() != b.IsStringCell() || a.IsWideStringCell() != b.IsWideStringCell() ||
        a.IsNumberCell() != b.IsNumberCell() || a.IsBooleanCell() != b.IsBooleanCell() ||
        a.IsErrorCell() != b.IsErrorCell() || a.IsEmptyCell() != b.IsEmptyCell())
        return false;
    if (a.IsStringCell() || a.IsWideStringCell())
        return a.GetString() == b.GetString();
    if (a.IsNumberCell())
        return Same(a.GetNumber(), b.GetNumber());
    if (a.IsBooleanCell())
        return a.GetBoolean() == b.GetBoolean();
    if (a.IsErrorCell())
        return a.GetErrorCode() == b.GetErrorCode();
    return true;
}
// Tables of the same shape whose elements compare the same (DoubleMatrix, CellMatrix).
template <typename Table> bool SameTable(const Table& a, const Table& b) {
    if (a.RowCount() != b.RowCount() || a.ColumnCount() != b.ColumnCount())
        return false;
    for (unsigned long r = 0; r < a.RowCount(); ++r)
        for (unsigned long c = 0; c < a.ColumnCount(); ++c)
            if (!Same(a(r, c), b(r, c)))
                return false;
    return true;
}
bool Same(const DoubleMatrix& a, const DoubleMatrix& b) {
    return SameTable(a, b);
}
bool Same(const CellMatrix& a, const CellMatrix& b) {
    return SameTable(a, b);
}

// Excel's failure bits; a code with none of them is no failure the library knows.
bool HasKnownFailureBit(int code) {
    return (code & 0x7F) != 0;
}

// Runs a conversion quietly (with a return code) and throwing; the two must agree. Only the
// library's exceptions, the standard ones and thrown texts may leave a conversion.
template <typename Value, typename Convert> void Consistent(Convert convert) {
    int code = -1;
    std::optional<Value> quiet;
    bool quietThrew = false;
    try {
        quiet.emplace(convert(&code));
    } catch (const std::exception&) {
        quietThrew = true;
    } catch (const char*) {
        quietThrew = true;
    }
    std::optional<Value> loud;
    bool threw = false;
    try {
        loud.emplace(convert(nullptr));
    } catch (const std::exception&) {
        threw = true;
    } catch (const char*) {
        threw = true;
    }
    if (quietThrew || code == -1)
        return;
    if (code == 0) {
        FUZZ_CHECK(!threw);
        FUZZ_CHECK(Same(*quiet, *loud));
    } else if (HasKnownFailureBit(code)) {
        FUZZ_CHECK(threw);
    }
}

// Every conversion both wrappers share.
template <typename Wrapper> void ExerciseConversions(const Wrapper& oper, int order) {
    Consistent<double>([&](int* err) { return oper.AsDouble(err); });
    Consistent<double>([&](int* err) { return oper.AsDouble("x", err); });
    Consistent<std::vector<double>>([&](int* err) { return oper.AsDoubleVector(order, err); });
    Consistent<std::vector<double>>([&](int* err) { return oper.AsArray("x", order, err); });
    Consistent<short>([&](int* err) { return oper.AsShort(err); });
    Consistent<bool>([&](int* err) { return oper.AsBool(err); });
    Consistent<DoubleMatrix>([&](int* err) { return oper.AsMatrix(err); });
    Consistent<CellMatrix>([&](int* err) { return oper.AsCellMatrix("x", err); });
    Consistent<XlfRange>([&](int* err) { return oper.AsRef(err); });
    // Texts live in temporary memory: compare them while both are there.
    int code = -1;
    const char* quiet = nullptr;
    try {
        quiet = oper.AsString("x", &code);
    } catch (const std::exception&) {
    } catch (const char*) {
    }
    if (quiet != nullptr && code == 0) {
        const char* loud = oper.AsString();
        FUZZ_CHECK(loud != nullptr && Same(quiet, loud));
    }
}

// Records as Excel passes them, of the running layout.
template <typename Record> class RecordMaker {
public:
    using Unit = typename RecordKit<Record>::Unit;
    static constexpr bool IsWide = sizeof(Unit) == 2;
    static constexpr int MaxTextLength = IsWide ? 32767 : 255;
    static constexpr int MaxRow = IsWide ? 1048575 : 65535;
    static constexpr int MaxColumn = IsWide ? 16383 : 255;

    explicit RecordMaker(FuzzedDataProvider& input) : input_(input) {}

    Record* Any(bool element) {
        switch (input_.ConsumeIntegralInRange(0, element ? 6 : 9)) {
        case 0:
            return kit_.Num(AnyDouble(input_));
        case 1:
            return Text();
        case 2:
            return kit_.Bool(input_.ConsumeBool());
        case 3:
            return kit_.Err(input_.PickValueInArray(kErrorCodes));
        case 4:
            return kit_.Int(IsWide ? input_.ConsumeIntegral<int>()
                                   : input_.ConsumeIntegral<short>());
        case 5:
            return kit_.Missing();
        case 6:
            return kit_.Nil();
        case 7:
            return Multi();
        case 8:
            return Area();
        default:
            return Reference();
        }
    }

    // Units from the input, padded to any length up to the layout's limit with one repeated unit.
    Record* Text() {
        // Mostly short texts; a byte string never counts more than its length byte holds.
        const int length = input_.ConsumeIntegralInRange(
            0, input_.ConsumeBool() ? std::min(300, MaxTextLength) : MaxTextLength);
        const std::uint16_t fill = IsWide ? input_.ConsumeIntegral<std::uint16_t>()
                                          : input_.ConsumeIntegral<std::uint8_t>();
        std::vector<std::uint16_t> units;
        while (static_cast<int>(units.size()) < length && input_.remaining_bytes() > 2 &&
               units.size() < 64)
            units.push_back(IsWide ? input_.ConsumeIntegral<std::uint16_t>()
                                   : input_.ConsumeIntegral<std::uint8_t>());
        units.resize(static_cast<std::size_t>(length), fill);
        lastText_ = units;
        return kit_.StrUnits(units);
    }

    Record* Multi() {
        const int rows = input_.ConsumeIntegralInRange(1, 4);
        const int columns = input_.ConsumeIntegralInRange(1, 4);
        std::vector<Record*> elements;
        for (int i = 0; i < rows * columns; ++i)
            elements.push_back(Any(true));
        return kit_.Multi(rows, columns, elements);
    }

    // One area of at most 6 x 6 cells anywhere on the sheet; some of its cells hold values.
    Record* Area() {
        const int row = input_.ConsumeIntegralInRange(0, MaxRow);
        const int column = input_.ConsumeIntegralInRange(0, MaxColumn);
        const int lastRow = std::min(MaxRow, row + input_.ConsumeIntegralInRange(0, 5));
        const int lastColumn = std::min(MaxColumn, column + input_.ConsumeIntegralInRange(0, 5));
        return kit_.SRef(row, lastRow, column, lastColumn);
    }

    Record* Reference() {
        std::vector<Record*> areas;
        const int count = input_.ConsumeIntegralInRange(1, 3);
        for (int i = 0; i < count; ++i)
            areas.push_back(Area());
        const DWORD sheet = input_.ConsumeBool()
                                ? xlstandin::ExcelStandIn::Instance().Sheet().CurrentSheet()
                                : input_.ConsumeIntegral<DWORD>();
        return kit_.Ref(sheet, areas);
    }

    const std::vector<std::uint16_t>& LastText() const { return lastText_; }

private:
    FuzzedDataProvider& input_;
    RecordKit<Record> kit_;
    std::vector<std::uint16_t> lastText_;
};

// The units up to the first NUL, when all of them are ASCII: what AsString must give back.
bool AsciiPrefix(const std::vector<std::uint16_t>& units, std::string& text) {
    text.clear();
    for (std::uint16_t unit : units) {
        if (unit == 0)
            break;
        if (unit > 0x7F)
            return false;
        text.push_back(static_cast<char>(unit));
    }
    return true;
}

// What a record of a known kind must read as without any coercion.
template <typename Record>
void CheckDirectReading(const XlfOper& oper, const Record& record,
                        const std::vector<std::uint16_t>& text) {
    switch (record.xltype) {
    case xltypeNum:
        FUZZ_CHECK(oper.IsNumber());
        FUZZ_CHECK(Same(oper.AsDouble(), record.val.num));
        break;
    case xltypeBool:
        FUZZ_CHECK(oper.IsBool());
        FUZZ_CHECK(oper.AsBool() == (record.val.xbool != 0));
        break;
    case xltypeInt:
        FUZZ_CHECK(oper.IsInt());
        FUZZ_CHECK(oper.AsDouble() == record.val.w);
        break;
    case xltypeMulti:
        FUZZ_CHECK(oper.IsMulti());
        FUZZ_CHECK(oper.Rows() == record.val.array.rows);
        FUZZ_CHECK(oper.Columns() == record.val.array.columns);
        break;
    case xltypeStr: {
        FUZZ_CHECK(oper.IsString());
        std::string ascii;
        if (AsciiPrefix(text, ascii))
            FUZZ_CHECK(ascii == oper.AsString());
        break;
    }
    default:
        break;
    }
}

void ExerciseOper(const XlfOper& oper, int order) {
    oper.GetType();
    oper.TypeName();
    oper.IsMissing();
    oper.IsError();
    oper.IsRef();
    oper.IsSRef();
    oper.IsNil();
    ExerciseConversions(oper, order);
    Consistent<std::wstring>([&](int* err) { return oper.AsWideString(err); });
    if (oper.IsMulti()) {
        for (int r = 0; r < oper.Rows(); ++r)
            for (int c = 0; c < oper.Columns(); ++c)
                ExerciseConversions(oper(r, c), order);
    }
}

void ExerciseOper4(const XlfOper4& oper, int order) {
    oper.GetType();
    ExerciseConversions(oper, order);
    if (oper.GetType() == xltypeMulti) {
        for (int r = 0; r < oper.Rows(); ++r)
            for (int c = 0; c < oper.Columns(); ++c)
                ExerciseConversions(oper.ElementAt(r, c), order);
    }
}

// A text of printable ASCII, short enough for every layout.
std::string PlainText(FuzzedDataProvider& input) {
    std::string text = input.ConsumeRandomLengthString(200);
    for (char& c : text)
        c = static_cast<char>(' ' + static_cast<unsigned char>(c) % 95);
    return text;
}

CellMatrix AnyCells(FuzzedDataProvider& input) {
    CellMatrix cells(input.ConsumeIntegralInRange(1, 4), input.ConsumeIntegralInRange(1, 4));
    for (unsigned long r = 0; r < cells.RowCount(); ++r) {
        for (unsigned long c = 0; c < cells.ColumnCount(); ++c) {
            switch (input.ConsumeIntegralInRange(0, 5)) {
            case 0:
                cells(r, c) = MatrixCell(AnyDouble(input));
                break;
            case 1:
                cells(r, c) = MatrixCell(input.ConsumeBool());
                break;
            case 2: {
                std::string text = PlainText(input);
                cells(r, c) = MatrixCell(text.empty() ? std::string("x") : text);
                break;
            }
            case 3:
                cells(r, c) = MatrixCell(
                    static_cast<unsigned long>(input.PickValueInArray(kErrorCodes)), true);
                break;
            case 4:
                cells(r, c) = MatrixCell(
                    std::wstring(1, static_cast<wchar_t>(input.ConsumeIntegral<std::uint16_t>())));
                break;
            default:
                break; // Empty
            }
        }
    }
    return cells;
}

std::string Describe(const MatrixCell& cell) {
    if (cell.IsNumberCell())
        return "number " + std::to_string(cell.GetNumber());
    if (cell.IsBooleanCell())
        return cell.GetBoolean() ? "TRUE" : "FALSE";
    if (cell.IsStringCell() || cell.IsWideStringCell()) {
        std::string shown = "text ";
        for (char c : cell.GetString())
            shown += c == '\0' ? std::string("\\0") : std::string(1, c);
        return shown;
    }
    return cell.IsErrorCell() ? "error" : "empty";
}

// A text cell read from an Excel 4 record that counted a NUL after its characters, as the
// library's Excel 4 texts have done, without that NUL; every other cell as it is.
// A wide text cell counts as a narrow one of the same characters.
MatrixCell WithoutCountedNul(const MatrixCell& cell) {
    if (!cell.IsStringCell() && !cell.IsWideStringCell())
        return cell;
    std::string text = cell.GetString();
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return MatrixCell(text);
}

// Number, boolean and plain text cells come back as they went in; other kinds may change form
// (an Empty cell may come back as an empty text, a wide text as a narrow one).
void CheckCellsReadBack(const CellMatrix& sent, const CellMatrix& read) {
    FUZZ_CHECK(read.RowCount() == sent.RowCount());
    FUZZ_CHECK(read.ColumnCount() == sent.ColumnCount());
    for (unsigned long r = 0; r < sent.RowCount(); ++r) {
        for (unsigned long c = 0; c < sent.ColumnCount(); ++c) {
            const MatrixCell& cell = sent(r, c);
            if ((cell.IsNumberCell() || cell.IsBooleanCell() || cell.IsStringCell()) &&
                !Same(cell, WithoutCountedNul(read(r, c)))) {
                std::fprintf(stderr, "cell (%lu, %lu) sent as \"%s\" read as \"%s\"\n", r, c,
                             Describe(cell).c_str(), Describe(read(r, c)).c_str());
                FUZZ_CHECK(!"a cell did not read back");
            }
            if (cell.IsErrorCell())
                FUZZ_CHECK(read(r, c).IsErrorCell() &&
                           read(r, c).GetErrorCode() == cell.GetErrorCode());
        }
    }
}

void CheckSetters(FuzzedDataProvider& input) {
    const double number = AnyDouble(input);
    FUZZ_CHECK(Same(XlfOper(number).AsDouble(), number));
    FUZZ_CHECK(Same(XlfOper4(number).AsDouble(), number));
    const bool boolean = input.ConsumeBool();
    FUZZ_CHECK(XlfOper(boolean).AsBool() == boolean);
    FUZZ_CHECK(XlfOper4(boolean).AsBool() == boolean);
    const auto integer = input.ConsumeIntegral<short>();
    FUZZ_CHECK(XlfOper(integer).AsShort() == integer);
    FUZZ_CHECK(XlfOper4(integer).AsShort() == integer);
    const WORD code = static_cast<WORD>(input.PickValueInArray(kErrorCodes));
    FUZZ_CHECK(XlfOper::Error(code).IsError());
    FUZZ_CHECK(XlfOper4().SetError(code).GetType() == xltypeErr);

    const std::string text = PlainText(input);
    FUZZ_CHECK(text == XlfOper(text).AsString());
    FUZZ_CHECK(text == XlfOper4(text).AsString());
    std::wstring wide;
    for (int i = input.ConsumeIntegralInRange(0, 40); i > 0; --i)
        wide.push_back(
            static_cast<wchar_t>(input.ConsumeIntegralInRange<std::uint32_t>(1, 0x10FFFF)));
    Consistent<std::wstring>([&](int* err) { return XlfOper(wide).AsWideString(err); });

    const CellMatrix cells = AnyCells(input);
    CheckCellsReadBack(cells, XlfOper(cells).AsCellMatrix());
    CheckCellsReadBack(cells, XlfOper4().SetCellMatrix(cells).AsCellMatrix());

    DoubleMatrix matrix(input.ConsumeIntegralInRange(1, 5), input.ConsumeIntegralInRange(1, 5));
    for (unsigned long r = 0; r < matrix.RowCount(); ++r)
        for (unsigned long c = 0; c < matrix.ColumnCount(); ++c)
            matrix(r, c) = AnyDouble(input);
    FUZZ_CHECK(Same(XlfOper().Set(matrix).AsMatrix(), matrix));
    FUZZ_CHECK(Same(XlfOper4().Set(matrix).AsMatrix(), matrix));
    std::vector<double> column(input.ConsumeIntegralInRange(1, 8));
    for (double& value : column)
        value = AnyDouble(input);
    FUZZ_CHECK(Same(XlfOper().Set(column).AsDoubleVector(), column));
    FUZZ_CHECK(Same(XlfOper4().Set(column).AsDoubleVector(), column));

    // An element set in an array reads back through the element view.
    XlfOper4 multi;
    multi.SetMulti(static_cast<int>(matrix.RowCount()), static_cast<int>(matrix.ColumnCount()));
    const int row = input.ConsumeIntegralInRange(0, static_cast<int>(matrix.RowCount()) - 1);
    const int col = input.ConsumeIntegralInRange(0, static_cast<int>(matrix.ColumnCount()) - 1);
    multi.SetElement(row, col, XlfOper4(number));
    FUZZ_CHECK(Same(multi.ElementAt(row, col).AsDouble(), number));
}

template <typename Mode> void RunRound(FuzzedDataProvider& input) {
    StandInRound<Mode> round;
    // A few cells of the current sheet hold values, for references to find.
    for (int i = input.ConsumeIntegralInRange(0, 4); i > 0; --i) {
        round.Excel().Sheet().SetCell(
            round.Excel().Sheet().CurrentSheet(), input.ConsumeIntegralInRange(0, 8),
            input.ConsumeIntegralInRange(0, 8), xlstandin::HostValue::Number(AnyDouble(input)));
    }
    const int order = input.ConsumeIntegralInRange(0, 2);
    {
        RecordMaker<typename Mode::Record> maker(input);
        const auto* record = maker.Any(false);
        const XlfOper oper(static_cast<LPXLFOPER>(const_cast<typename Mode::Record*>(record)));
        ExerciseOper(oper, order);
        CheckDirectReading(oper, *record, maker.LastText());
    }
    {
        RecordMaker<XLOPER> maker(input);
        ExerciseOper4(XlfOper4(maker.Any(false)), order);
    }
    CheckSetters(input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::setlocale(LC_ALL, input.ConsumeBool() ? "C" : "C.UTF-8");
    if (input.ConsumeBool())
        RunRound<Excel12Mode>(input);
    else
        RunRound<Excel16Mode>(input);
    return 0;
}
