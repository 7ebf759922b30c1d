# vornix_add_xll(NAME SOURCE...): builds an Excel add-in (an .xll) on the vornix wrapper layer.
#
# The add-in is self-contained (the compiler's runtime linked in statically), links the whole
# vornix archive so that the library's xlAutoOpen and xlAutoClose are exported, and exports its
# functions under their plain names: on 32-bit Windows --kill-at strips the __stdcall decoration;
# 64-bit Windows has one calling convention and no decoration. A 64-bit build is named NAME64.xll,
# so that both DLLs of an add-in can lie side by side. Release builds are stripped.
function(vornix_add_xll name)
    if(NOT WIN32)
        message(FATAL_ERROR "vornix_add_xll: an add-in is a Windows DLL; use a MinGW toolchain")
    endif()
    if(NOT ARGN)
        message(FATAL_ERROR "vornix_add_xll(${name}): no sources")
    endif()
    add_library(${name} SHARED ${ARGN})
    set(output ${name})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(output ${name}64)
    endif()
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${output} SUFFIX ".xll")
    target_link_libraries(${name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vornix>")
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++
                        $<$<CONFIG:Release>:-s>)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_link_options(${name} PRIVATE -Wl,--kill-at)
    endif()
endfunction()
