#pragma once

#include <vornix/XlfExport.h>

// Excel's add-in manager calls these when it opens and closes the add-in.
XLF_EXPORT int WINAPI xlAutoOpen();
XLF_EXPORT int WINAPI xlAutoClose();
