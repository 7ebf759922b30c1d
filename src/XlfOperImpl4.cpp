#include "XlfOperImpl4.h"

namespace vornix {

LPXLOPER XlfOperImpl4::AsXLOPER(const XlfOper& oper) const {
    return RecordPtr(oper);
}

LPXLOPER12 XlfOperImpl4::AsXLOPER12(const XlfOper&) const {
    throw "Unable to convert Excel 4 datatype to Excel 12 datatype - operation not yet implemented";
}

} // namespace vornix
