# Cross-compiles the product for 32-bit Windows with Debian's MinGW-w64 and runs the resulting
# executables under Wine's 32-bit loader (scripts/wine-run picks it).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(mingw_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# SSE2 arithmetic: doubles are true doubles in every intermediate step, as on the native target
# (the x87 unit would keep a wider exponent until a value is stored).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
