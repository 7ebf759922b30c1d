#pragma once

#include "XlfOperImplCommon.h"

namespace vornix {

// Values as Excel 4 records (XLOPER): 16-byte records, 16-bit type words and counts, byte texts
// with a length byte.
class XlfOperImpl4 : public XlfOperImplCommon<XLOPER> {
public:
    XlfOperImpl4() = default;

    LPXLOPER AsXLOPER(const XlfOper& oper) const override;
    LPXLOPER12 AsXLOPER12(const XlfOper& oper) const override;
};

} // namespace vornix
