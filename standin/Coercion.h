// Excel's conversions between value types, as xlCoerce and argument passing perform them.
#pragma once

#include "Answer.h"
#include "HostValue.h"
#include "RecordCodec.h"
#include "SheetModel.h"
#include <vornix/ExcelApi.h>

#include <string>

namespace xlstandin {

class Coercion {
public:
    // Types xlCoerce gives when the caller names none: any value, no reference.
    static constexpr DWORD AnyValue = xltypeNum | xltypeStr | xltypeBool | xltypeErr | xltypeMulti |
                                      xltypeMissing | xltypeNil | xltypeInt;

    Coercion(const SheetModel& sheet, RecordLimits limits) : sheet_(sheet), limits_(limits) {}

    // The source as one of the types in typeMask, keeping its own type when that is allowed and
    // trying number, text, boolean, integer, array, error in this order otherwise. References
    // stay references when typeMask allows them and are read from the sheet otherwise. False
    // where Excel fails the call: error values to anything else, texts that are no number or
    // boolean, integers out of range, references of several areas.
    bool Convert(const HostValue& source, DWORD typeMask, Answer& answer) const;

    // A reference's cells; any other value unchanged.
    bool Dereference(const HostValue& source, HostValue& value) const;

    bool ToNumber(const HostValue& source, double& number) const;
    bool ToText(const HostValue& source, std::u16string& text) const;
    bool ToBoolean(const HostValue& source, bool& boolean) const;
    // Truncated toward zero, within the layout's integer range.
    bool ToInt(const HostValue& source, long& number) const;

private:
    bool ConvertValue(const HostValue& value, DWORD type, Answer& answer) const;
    static DWORD TypeOf(const HostValue& value);
    // Scalar conversions read an array's first element.
    static const HostValue& Scalar(const HostValue& value);

    const SheetModel& sheet_;
    RecordLimits limits_;
};

} // namespace xlstandin
