# weight_add_test(name SOURCES ... [LIBS ...] [GUI])
# One test executable per test class (a class may span several files of its folder), run by CTest
# headless; GUI suites link the windows and get the offscreen platform. WEIGHT_TEST_DATA names the
# suite's folder of known-good files (tests/<subsystem>/data).
function(weight_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE weighttestsupport Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE WEIGHT_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE weightgui)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=120000;LANG=C.UTF-8")
endfunction()
