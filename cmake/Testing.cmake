# zavo_add_test(NAME name SOURCES ... LIBS ... [THREADS] [DISPLAY] [SERIAL] [RESOURCE_LOCK lock])
# One test executable per folder group. THREADS labels the test for the
# thread-sanitizer run of scripts/test; DISPLAY for its run under Xvfb, one
# display test at a time.
# SERIAL runs each case with no other test beside it (a real-time stream
# that a loaded machine would make late).
# RESOURCE_LOCK keeps its cases from running beside any other test that
# takes the same lock: each case is a ctest process of its own, and
# `ctest -j` would otherwise run them side by side.
function(zavo_add_test)
    cmake_parse_arguments(T "THREADS;DISPLAY;SERIAL" "NAME;RESOURCE_LOCK" "SOURCES;LIBS" ${ARGN})
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
    set(properties LABELS "${labels}")
    # Display tests share one display server: one at a time, so that no
    # test's windows, focus or the server's reset between clients meet another's.
    if(T_DISPLAY AND NOT T_RESOURCE_LOCK)
        set(T_RESOURCE_LOCK display)
    endif()
    if(T_RESOURCE_LOCK)
        list(APPEND properties RESOURCE_LOCK "${T_RESOURCE_LOCK}")
    endif()
    if(T_SERIAL)
        list(APPEND properties RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${T_NAME}
        PROPERTIES ${properties}
        DISCOVERY_TIMEOUT 60)
endfunction()
