# zavo_add_test(NAME name SOURCES ... LIBS ... [THREADS] [DISPLAY])
# One test executable per folder group. THREADS labels the test for the
# thread-sanitizer run of scripts/test; DISPLAY for its run under Xvfb.
function(zavo_add_test)
    cmake_parse_arguments(T "THREADS;DISPLAY" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main zavo_options)
    # One label per test: a list would be split by gtest_discover_tests's
    # PROPERTIES, and `ctest -L threads` would then find nothing.
    set(labels unit)
    if(T_THREADS)
        set(labels threads)
    elseif(T_DISPLAY)
        set(labels display)
    endif()
    gtest_discover_tests(${T_NAME}
        PROPERTIES LABELS "${labels}"
        DISCOVERY_TIMEOUT 60)
endfunction()
