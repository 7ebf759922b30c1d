#include "XlfOperImpl12.h"

namespace vornix {

LPXLOPER XlfOperImpl12::AsXLOPER(const XlfOper&) const {
    throw "Unable to convert Excel 12 datatype to Excel 4 datatype - operation not yet implemented";
}

LPXLOPER12 XlfOperImpl12::AsXLOPER12(const XlfOper& oper) const {
    return RecordPtr(oper);
}

} // namespace vornix
