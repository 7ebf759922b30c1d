#pragma once

#include "XlfOperImplCommon.h"

namespace vornix {

// Values as Excel 12 records (XLOPER12): 32-byte records, 32-bit type words and counts, texts of
// 16-bit code units with a 16-bit length, cut to 32767 units.
class XlfOperImpl12 : public XlfOperImplCommon<XLOPER12> {
public:
    XlfOperImpl12() = default;

    LPXLOPER AsXLOPER(const XlfOper& oper) const override;
    LPXLOPER12 AsXLOPER12(const XlfOper& oper) const override;
};

} // namespace vornix
