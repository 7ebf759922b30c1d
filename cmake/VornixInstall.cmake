# The package an author installs: `cmake --install` of a build puts its own kind (win32, win64 or
# native) beside the others already in the prefix, so that one prefix serves every toolchain.
#
#   include/vornix/                 the public headers, the same for every kind
#   lib/vornix/KIND/                the static libraries of that kind
#   lib/vornix/winBITS/bin/         xlhost.exe and the stand-in's XLCALL32.DLL
#   lib/vornix/native/include/      the Win32 compatibility layer, the Excel stand-in and its
#                                   test fixture, for unit tests on Linux
#   lib/cmake/vornix/               find_package(vornix), vornix_add_xll, vornix_add_xll_test
#   share/vornix/toolchains/        the MinGW-w64 toolchain files of both bitnesses
#   share/vornix/scripts/           what the toolchains and bin/xlhost run Wine with, and the
#                                   PE reader of vornix-pack
#   bin/xlhost                      runs an add-in on the xlhost of its bitness under Wine
#   bin/vornix-pack                 packs add-ins of both bitnesses and texts into one zip
include(CMakePackageConfigHelpers)

if(WIN32)
    math(EXPR vornix_bits "${CMAKE_SIZEOF_VOID_P} * 8")
    set(vornix_kind win${vornix_bits})
else()
    set(vornix_kind native)
endif()
set(vornix_lib_dir lib/vornix/${vornix_kind})
set(vornix_cmake_dir lib/cmake/vornix)
set(vornix_export vornix-${vornix_kind})

install(DIRECTORY include/vornix DESTINATION include FILES_MATCHING PATTERN "*.h")
install(TARGETS vornix EXPORT ${vornix_export} ARCHIVE DESTINATION ${vornix_lib_dir})

if(WIN32)
    install(PROGRAMS $<TARGET_FILE:xlhost> $<TARGET_FILE:XLCALL32>
            DESTINATION ${vornix_lib_dir}/bin)
else()
    set(native_include ${vornix_lib_dir}/include)
    target_include_directories(win32compat PUBLIC $<INSTALL_INTERFACE:${native_include}/compat>)
    target_include_directories(excel_standin
                               PUBLIC $<INSTALL_INTERFACE:${native_include}/standin>)
    install(TARGETS win32compat excel_standin excel_api EXPORT ${vornix_export}
            ARCHIVE DESTINATION ${vornix_lib_dir})
    install(DIRECTORY compat/ DESTINATION ${native_include}/compat FILES_MATCHING PATTERN "*.h")
    install(FILES tests/support/ExcelStandInTest.h DESTINATION ${native_include}/standin)
    install(DIRECTORY standin/ DESTINATION ${native_include}/standin
            FILES_MATCHING PATTERN "*.h" PATTERN exports EXCLUDE PATTERN xlcall32 EXCLUDE)
    if(TESMOR_SANITIZE)
        # The library carries the sanitizers' instrumentation: whatever links it needs their
        # runtime, and the author's own code is checked alike.
        set(sanitizers -fsanitize=address,undefined)
        target_compile_options(vornix INTERFACE
                               "$<INSTALL_INTERFACE:${sanitizers};-fno-omit-frame-pointer>")
        target_link_options(vornix INTERFACE "$<INSTALL_INTERFACE:${sanitizers}>")
    endif()
endif()

install(EXPORT ${vornix_export} NAMESPACE vornix:: DESTINATION ${vornix_cmake_dir}
        FILE ${vornix_export}-targets.cmake)
configure_file(cmake/vornixConfig.cmake.in ${CMAKE_BINARY_DIR}/package/vornixConfig.cmake @ONLY)
# One version file for every kind: the default one would refuse a toolchain of another bitness.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/vornixConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion
                                 ARCH_INDEPENDENT)
install(FILES ${CMAKE_BINARY_DIR}/package/vornixConfig.cmake
              ${CMAKE_BINARY_DIR}/package/vornixConfigVersion.cmake cmake/VornixXll.cmake
              cmake/VornixVersion.rc.in
        DESTINATION ${vornix_cmake_dir})

install(FILES cmake/mingw-common.cmake cmake/mingw-i686.cmake cmake/mingw-x86_64.cmake
        DESTINATION share/vornix/toolchains)
install(PROGRAMS scripts/wine-env scripts/wine-setup scripts/wine-run scripts/pe-bits
        DESTINATION share/vornix/scripts)
install(PROGRAMS scripts/xlhost scripts/vornix-pack DESTINATION bin)
