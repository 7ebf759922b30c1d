include(GoogleTest)

# Test suites whose cases squat or hold the named lock "vornix_mutex" end in this name. Under Wine
# the test executables run in parallel in one prefix, where any of them may hold the lock at any
# moment; those suites therefore run in a prefix of their own (scripts/bootstrap prepares it),
# where no other program can take the name.
set(TESMOR_NAMED_LOCK_SUITES "*NamedLock.*")

# True in VAR when one of the sources defines a suite that must be alone with the named lock.
function(tesmor_has_named_lock_suites var)
    set(found FALSE)
    foreach(source ${ARGN})
        file(STRINGS ${source} lines REGEX "TEST(_F|_P)?\\([A-Za-z0-9_]*NamedLock,")
        if(lines)
            set(found TRUE)
        endif()
    endforeach()
    set(${var} ${found} PARENT_SCOPE)
endfunction()

# One GoogleTest executable per source folder. Natively every test is its own ctest entry; under
# Wine each executable is one entry, since every Wine start costs seconds, and the suites that
# must be alone with the named lock are a second entry in the prefix named "lock".
function(tesmor_add_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE GTest::gtest_main tesmor_warnings)
    if(NOT CMAKE_CROSSCOMPILING)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
        return()
    endif()
    tesmor_has_named_lock_suites(named_lock ${ARGN})
    if(NOT named_lock)
        add_test(NAME ${name} COMMAND ${name})
        return()
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_filter=-${TESMOR_NAMED_LOCK_SUITES})
    add_test(NAME ${name}_named_lock COMMAND ${name} --gtest_filter=${TESMOR_NAMED_LOCK_SUITES})
    set_tests_properties(${name}_named_lock PROPERTIES ENVIRONMENT TESMOR_WINE_PREFIX=lock)
endfunction()
