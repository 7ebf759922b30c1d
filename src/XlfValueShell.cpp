#include <vornix/XlfValueShell.h>

#include "XlfConversion.h"
#include "XlfExcelOwnership.h"
#include "XlfOper4Impl.h"
#include "XlfOperImpl.h"
#include <vornix/XlfOper.h>
#include <vornix/XlfOper4.h>

namespace vornix {

namespace {

// The value of a conversion, its Excel return code through err or as the wrapper's exception.
template <typename Wrapper, typename Result, typename Operation>
Result Converted(Result start, Operation operation, int* err) {
    return XlfConversion<Wrapper>::Run(std::move(start), operation, err, nullptr);
}

template <typename Wrapper, typename Result, typename Operation, typename MakeContext>
Result Converted(Result start, Operation operation, int* err, MakeContext makeContext) {
    return XlfConversion<Wrapper>::Run(std::move(start), operation, err, makeContext);
}

} // namespace

template <typename Wrapper> double XlfValueShell<Wrapper>::AsDouble(int* err) const {
    return Converted<Wrapper>(
        0.0, [this](double& out) { return Wrapper::Impl().AsDouble(Self(), out); }, err);
}

template <typename Wrapper>
double XlfValueShell<Wrapper>::AsDouble(const std::string& name, int* err) const {
    return Converted<Wrapper>(
        0.0, [this](double& out) { return Wrapper::Impl().AsDouble(Self(), out); }, err,
        [&name] { return "Conversion to double " + name; });
}

template <typename Wrapper>
std::vector<double> XlfValueShell<Wrapper>::AsDoubleVector(int order, int* err) const {
    return Converted<Wrapper>(
        std::vector<double>(),
        [this, order](std::vector<double>& out) {
            return Wrapper::Impl().AsDoubleVector(Self(), out, order);
        },
        err);
}

template <typename Wrapper>
std::vector<double> XlfValueShell<Wrapper>::AsDoubleVector(const std::string& name, int order,
                                                           int* err) const {
    return Converted<Wrapper>(
        std::vector<double>(),
        [this, order](std::vector<double>& out) {
            return Wrapper::Impl().AsDoubleVector(Self(), out, order);
        },
        err, [&name] { return name + " conversion to double vector"; });
}

template <typename Wrapper>
std::vector<double> XlfValueShell<Wrapper>::AsArray(int order, int* err) const {
    return AsDoubleVector(order, err);
}

template <typename Wrapper>
std::vector<double> XlfValueShell<Wrapper>::AsArray(const std::string& name, int order,
                                                    int* err) const {
    return AsDoubleVector(name, order, err);
}

template <typename Wrapper> short XlfValueShell<Wrapper>::AsShort(int* err) const {
    return Converted<Wrapper>(
        short{0}, [this](short& out) { return Wrapper::Impl().AsShort(Self(), out); }, err);
}

template <typename Wrapper>
short XlfValueShell<Wrapper>::AsShort(const std::string& name, int* err) const {
    return Converted<Wrapper>(
        short{0}, [this](short& out) { return Wrapper::Impl().AsShort(Self(), out); }, err,
        [&name] { return name + " conversion to short failed"; });
}

template <typename Wrapper> bool XlfValueShell<Wrapper>::AsBool(int* err) const {
    return Converted<Wrapper>(
        false, [this](bool& out) { return Wrapper::Impl().AsBool(Self(), out); }, err);
}

template <typename Wrapper>
bool XlfValueShell<Wrapper>::AsBool(const std::string& name, int* err) const {
    return Converted<Wrapper>(
        false, [this](bool& out) { return Wrapper::Impl().AsBool(Self(), out); }, err,
        [&name] { return name + " conversion to bool failed"; });
}

template <typename Wrapper> DoubleMatrix XlfValueShell<Wrapper>::AsMatrix(int* err) const {
    return AsMatrix(std::string(), err);
}

template <typename Wrapper>
DoubleMatrix XlfValueShell<Wrapper>::AsMatrix(const std::string& name, int* err) const {
    return Converted<Wrapper>(
        DoubleMatrix(0, 0),
        [this](DoubleMatrix& out) { return Wrapper::Impl().AsMatrix(Self(), out); }, err,
        [&name] { return name + " conversion to matrix failed"; });
}

template <typename Wrapper> CellMatrix XlfValueShell<Wrapper>::AsCellMatrix(int* err) const {
    return AsCellMatrix(std::string(), err);
}

template <typename Wrapper>
CellMatrix XlfValueShell<Wrapper>::AsCellMatrix(const std::string& name, int* err) const {
    return Converted<Wrapper>(
        CellMatrix(1, 1),
        [this](CellMatrix& out) { return Wrapper::Impl().AsCellMatrix(Self(), out); }, err,
        [&name] { return name + " conversion to cell matrix failed"; });
}

template <typename Wrapper> char* XlfValueShell<Wrapper>::AsString(int* err) const {
    return Converted<Wrapper>(
        static_cast<char*>(nullptr),
        [this](char*& out) { return Wrapper::Impl().AsString(Self(), out); }, err);
}

template <typename Wrapper>
char* XlfValueShell<Wrapper>::AsString(const std::string& name, int* err) const {
    return Converted<Wrapper>(
        static_cast<char*>(nullptr),
        [this](char*& out) { return Wrapper::Impl().AsString(Self(), out); }, err,
        [&name] { return name + " conversion to char* failed"; });
}

template <typename Wrapper> XlfRange XlfValueShell<Wrapper>::AsRef(int* err) const {
    return Converted<Wrapper>(
        XlfRange(), [this](XlfRange& out) { return Wrapper::Impl().AsRef(Self(), out); }, err);
}

template <typename Wrapper> Wrapper& XlfValueShell<Wrapper>::Set(const DoubleMatrix& matrix) {
    if (matrix.RowCount() == 0 || matrix.ColumnCount() == 0)
        return Self();
    return Wrapper::Impl().SetCellMatrix(Self(), CellMatrix(matrix));
}

template <typename Wrapper>
Wrapper& XlfValueShell<Wrapper>::Set(const std::vector<double>& values) {
    if (values.empty())
        return Self();
    return Wrapper::Impl().SetCellMatrix(Self(), CellMatrix(values));
}

template <typename Wrapper> DWORD XlfValueShell<Wrapper>::GetType() const {
    return Wrapper::Impl().GetType(Self());
}

template <typename Wrapper> bool XlfValueShell<Wrapper>::IsExcelOwned() const {
    return record_.Made() && XlfExcelOwnership::IsNoted(record_.Get());
}

template <typename Wrapper> int XlfValueShell<Wrapper>::Rows() const {
    return Wrapper::Impl().Rows(Self());
}

template <typename Wrapper> int XlfValueShell<Wrapper>::Columns() const {
    return Wrapper::Impl().Columns(Self());
}

template <typename Wrapper> void XlfValueShell<Wrapper>::CopyFrom(const Wrapper& other) {
    if (this == &other || record_.Get() == other.record_.Get())
        return;
    Wrapper::Impl().Assign(Self(), other);
}

template <typename Wrapper> void XlfValueShell<Wrapper>::MoveFrom(Wrapper& other) {
    if (this == &other)
        return;
    if (!other.record_.Made()) {
        CopyFrom(other);
        other.record_ = XlfRecordHandle();
        return;
    }
    if (record_.Get() != other.record_.Get())
        Wrapper::Impl().FreeIfExcelOwned(Self());
    record_ = other.record_.Take();
}

template class XlfValueShell<XlfOper>;
template class XlfValueShell<XlfOper4>;

} // namespace vornix
