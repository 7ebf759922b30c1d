include(GoogleTest)

# One GoogleTest executable per source folder. Natively every test is its own ctest entry; under
# Wine each executable is one entry, since every Wine start costs seconds.
function(tesmor_add_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE GTest::gtest_main tesmor_warnings)
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
