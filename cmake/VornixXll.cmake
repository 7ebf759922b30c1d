# vornix_add_xll(NAME [PRODUCT text] [VERSION x.y.z] [DESCRIPTION text] SOURCE...): builds an
# Excel add-in (an .xll) on the vornix wrapper layer.
#
# The add-in is self-contained (the compiler's runtime linked in statically), links the whole
# vornix archive so that the library's xlAutoOpen and xlAutoClose are exported, and exports its
# functions under their plain names: on 32-bit Windows --kill-at strips the __stdcall decoration;
# 64-bit Windows has one calling convention and no decoration. A 64-bit build is named NAME64.xll,
# so that both DLLs of an add-in can lie side by side. Release builds are stripped.
#
# The DLL carries a Windows version resource: PRODUCT (default: the project's name), VERSION
# (default: the project's version, else 0.0.0) and DESCRIPTION (default: NAME).
function(vornix_add_xll name)
    if(NOT WIN32)
        message(FATAL_ERROR "vornix_add_xll: an add-in is a Windows DLL; use a MinGW toolchain")
    endif()
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PRODUCT;VERSION;DESCRIPTION" "")
    set(sources ${arg_UNPARSED_ARGUMENTS})
    if(NOT sources)
        message(FATAL_ERROR "vornix_add_xll(${name}): no sources")
    endif()
    add_library(${name} SHARED ${sources})
    set(output ${name})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(output ${name}64)
    endif()
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${output} SUFFIX ".xll")
    target_link_libraries(${name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vornix::vornix>")
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++
                        $<$<CONFIG:Release>:-s>)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_link_options(${name} PRIVATE -Wl,--kill-at)
    endif()
    if(NOT arg_PRODUCT)
        set(arg_PRODUCT ${PROJECT_NAME})
    endif()
    if(NOT arg_VERSION)
        set(arg_VERSION ${PROJECT_VERSION})
    endif()
    if(NOT arg_VERSION)
        set(arg_VERSION 0.0.0)
    endif()
    if(NOT arg_DESCRIPTION)
        set(arg_DESCRIPTION ${name})
    endif()
    vornix_add_version_resource(${name} ${output} "${arg_PRODUCT}" ${arg_VERSION}
                                "${arg_DESCRIPTION}")
endfunction()

# Compiles the version resource with the toolchain's windres into an object linked into the
# DLL; an object rather than an RC source, so that the calling project need not enable RC.
function(vornix_add_version_resource name output product version description)
    if(NOT version MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
        message(FATAL_ERROR "vornix_add_xll(${name}): VERSION ${version} is not of the form 1.2.3")
    endif()
    # A double quote inside a resource text is written twice.
    string(REPLACE "\"" "\"\"" product "${product}")
    string(REPLACE "\"" "\"\"" description "${description}")
    # Windows' numeric version has four parts: 1.2 becomes 1,2,0,0.
    string(REPLACE "." ";" parts ${version})
    list(LENGTH parts count)
    while(count LESS 4)
        list(APPEND parts 0)
        math(EXPR count "${count} + 1")
    endwhile()
    string(REPLACE ";" "," numeric_version "${parts}")

    # The toolchain's windres: named by the toolchain file, else beside the C++ compiler.
    set(windres ${CMAKE_RC_COMPILER})
    if(NOT windres)
        get_filename_component(compiler ${CMAKE_CXX_COMPILER} NAME)
        string(REGEX REPLACE "(g\\+\\+|c\\+\\+|clang\\+\\+)(-[a-z]+)?(\\.exe)?$" "windres"
                             windres ${compiler})
    endif()
    set(resource ${CMAKE_CURRENT_BINARY_DIR}/${name}.version.rc)
    set(object ${CMAKE_CURRENT_BINARY_DIR}/${name}.version.o)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/VornixVersion.rc.in ${resource} @ONLY)
    set(target_flag pe-i386)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(target_flag pe-x86-64)
    endif()
    add_custom_command(OUTPUT ${object}
                       COMMAND ${windres} --target=${target_flag} -O coff -i ${resource}
                               -o ${object}
                       DEPENDS ${resource}
                       COMMENT "Version resource of ${output}.xll"
                       VERBATIM)
    target_sources(${name} PRIVATE ${object})
endfunction()

# vornix_add_xll_test(TARGET CASES [NAME name] [OPTIONS option...]): adds a CTest test that checks
# the add-in TARGET (made by vornix_add_xll) against the case file CASES with xlhost --check,
# under Wine through the package's bin/xlhost (this repository's scripts/xlhost in its own
# build): each line FORMULA => EXPECTED is a case,
# REF=VALUE lines set cells. The test passes when every case does. NAME defaults to
# TARGET_<file name without extension>; OPTIONS go to xlhost (--excel-version 11, --cell A1=2).
# Call enable_testing() first, in the top-level CMakeLists.txt.
function(vornix_add_xll_test target cases)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "NAME" "OPTIONS")
    get_filename_component(cases ${cases} ABSOLUTE)
    if(NOT arg_NAME)
        get_filename_component(stem ${cases} NAME_WE)
        set(arg_NAME ${target}_${stem})
    endif()
    # Tesmor's own build runs the xlhost it built; add-ins of their own the installed launcher.
    if(TARGET xlhost)
        set(launcher ${CMAKE_COMMAND} -E env XLHOST_EXE=$<TARGET_FILE:xlhost>
                     ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../scripts/xlhost)
    else()
        set(launcher ${VORNIX_XLHOST})
    endif()
    add_test(NAME ${arg_NAME} COMMAND ${launcher} ${arg_OPTIONS} --check ${cases}
                                      $<TARGET_FILE:${target}>)
endfunction()
