# Add-ins of one's own on vornix, built in a folder outside this repository: include() this file
# after project() in a project configured with this repository's toolchain file of the wanted
# bitness (cmake/mingw-i686.cmake or cmake/mingw-x86_64.cmake). It imports the vornix library
# that `make build-win32` or `make build-win64` built here and provides vornix_add_xll and
# vornix_add_xll_test.
# VORNIX_BUILD_DIR names another build of this repository with the same toolchain.
if(NOT WIN32 OR NOT (CMAKE_SIZEOF_VOID_P EQUAL 4 OR CMAKE_SIZEOF_VOID_P EQUAL 8))
    message(FATAL_ERROR "Vornix.cmake: configure with -DCMAKE_TOOLCHAIN_FILE="
                        "${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake or mingw-x86_64.cmake")
endif()
math(EXPR vornix_bits "${CMAKE_SIZEOF_VOID_P} * 8")
get_filename_component(vornix_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(VORNIX_BUILD_DIR ${vornix_root}/build/win${vornix_bits}
    CACHE PATH "The build of the vornix library, of the same bitness")
set(vornix_targets ${VORNIX_BUILD_DIR}/VornixTargets.cmake)
if(NOT EXISTS ${vornix_targets})
    message(FATAL_ERROR "Vornix.cmake: no ${vornix_bits}-bit vornix library in ${VORNIX_BUILD_DIR}; "
                        "run `make build-win${vornix_bits}` in ${vornix_root}")
endif()
if(NOT TARGET vornix)
    include(${vornix_targets})
    add_library(vornix ALIAS vornix::vornix)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/VornixXll.cmake)
