# vexlo_add_test(NAME <name> SOURCES <files...> LIBS <targets...>)
# One Qt Test executable per area, registered with CTest. No test reaches the
# machine's own Avahi daemon, so nothing is published on a real network.
function(vexlo_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(test_${T_NAME} ${T_SOURCES})
  target_link_libraries(test_${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(test_${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
  set_target_properties(test_${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND test_${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1;DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/vexlo-tests"
    TIMEOUT 300)
endfunction()
