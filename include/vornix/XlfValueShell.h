#pragma once

#include <vornix/CellMatrix.h>
#include <vornix/DoubleMatrix.h>
#include <vornix/DoubleVectorOrder.h>
#include <vornix/ExcelApi.h>
#include <vornix/XlfRange.h>
#include <vornix/XlfRecordHandle.h>

#include <string>
#include <vector>

namespace vornix {

// What the two value wrappers, XlfOper and XlfOper4, show alike: the record they hold, the
// conversions with their texts, the queries and the numeric setters, and how values are copied
// and moved. Wrapper gives its implementation as Wrapper::Impl() and its exception texts as
// Wrapper::ThrowOnError.
//
// Conversions: with an int* the Excel return code is stored there and nothing is thrown; without
// one a failure throws. The named forms put the caller's name for the value into the message.
template <typename Wrapper> class XlfValueShell {
public:
    double AsDouble(int* err = nullptr) const;
    double AsDouble(const std::string& name, int* err = nullptr) const;
    std::vector<double> AsDoubleVector(int order = OneDimensional, int* err = nullptr) const;
    std::vector<double> AsDoubleVector(const std::string& name, int order = OneDimensional,
                                       int* err = nullptr) const;
    std::vector<double> AsArray(int order = OneDimensional, int* err = nullptr) const;
    std::vector<double> AsArray(const std::string& name, int order = OneDimensional,
                                int* err = nullptr) const;
    short AsShort(int* err = nullptr) const;
    short AsShort(const std::string& name, int* err = nullptr) const;
    bool AsBool(int* err = nullptr) const;
    bool AsBool(const std::string& name, int* err = nullptr) const;
    DoubleMatrix AsMatrix(int* err = nullptr) const;
    DoubleMatrix AsMatrix(const std::string& name, int* err = nullptr) const;
    CellMatrix AsCellMatrix(int* err = nullptr) const;
    CellMatrix AsCellMatrix(const std::string& name, int* err = nullptr) const;
    // NUL-terminated, in temporary memory.
    char* AsString(int* err = nullptr) const;
    char* AsString(const std::string& name, int* err = nullptr) const;
    XlfRange AsRef(int* err = nullptr) const;

    // Numbers as an array: a matrix keeps its shape, a vector becomes a column. Empty input
    // leaves the value as it was.
    Wrapper& Set(const DoubleMatrix& matrix);
    Wrapper& Set(const std::vector<double>& values);

    // Excel's type word (widened); 0 for a null record.
    DWORD GetType() const;
    // Whether the value holds memory Excel allocated that this wrapper gives back: it made the
    // record Excel filled, or had it moved in.
    bool IsExcelOwned() const;
    int Rows() const;
    int Columns() const;

protected:
    XlfValueShell() = default;
    explicit XlfValueShell(XlfRecordHandle record) : record_(record) {}
    ~XlfValueShell() = default;
    // A copy takes the value as Wrapper::Impl().Assign gives it; wrappers already sharing one
    // record have nothing to change.
    XlfValueShell(const XlfValueShell& other) { CopyFrom(other.Self()); }
    XlfValueShell& operator=(const XlfValueShell& other) {
        CopyFrom(other.Self());
        return *this;
    }
    // Moving hands the record on, with the giving back of Excel's memory if other made it; a
    // record other only wraps is taken as a copy takes it. Other holds no record afterwards.
    XlfValueShell(XlfValueShell&& other) noexcept : record_(other.record_.Take()) {}
    XlfValueShell& operator=(XlfValueShell&& other) {
        MoveFrom(other.Self());
        return *this;
    }

    void CopyFrom(const Wrapper& other);
    void MoveFrom(Wrapper& other);

    XlfRecordHandle record_;

private:
    const Wrapper& Self() const { return static_cast<const Wrapper&>(*this); }
    Wrapper& Self() { return static_cast<Wrapper&>(*this); }
};

} // namespace vornix
