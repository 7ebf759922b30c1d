# Cross-compiles the product for 64-bit Windows with Debian's MinGW-w64 and runs the resulting
# executables under Wine's 64-bit loader (scripts/wine-run picks it).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
