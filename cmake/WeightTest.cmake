# weight_add_test(name SOURCES ... [LIBS ...] [GUI])
# One test executable per subsystem, run by CTest headless; GUI suites get the offscreen platform.
function(weight_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE weighttestsupport Qt6::Test ${ARG_LIBS})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE weightgui)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=120000;LANG=C.UTF-8")
endfunction()
