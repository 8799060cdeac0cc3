# Native build: the library over the POSIX stand-ins, its tests, the command.
add_library(ovrin_core STATIC ${OVRIN_SOURCES} ${CMAKE_SOURCE_DIR}/platform/platform_posix.cpp)
target_include_directories(ovrin_core PUBLIC ${CMAKE_SOURCE_DIR})

add_library(ovrin_test_support STATIC
  ${CMAKE_SOURCE_DIR}/tests/support/case_table.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/entry_checks.cpp)
target_link_libraries(ovrin_test_support PUBLIC ovrin_core)

if(OVRIN_TESTS)
  find_package(GTest REQUIRED)
  file(GLOB OVRIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
  add_executable(ovrin_tests ${OVRIN_TEST_SOURCES})
  target_link_libraries(ovrin_tests PRIVATE ovrin_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(ovrin_tests PRIVATE OVRIN_CASES_DIR="${CMAKE_SOURCE_DIR}/tests/cases")
  include(GoogleTest)
  gtest_discover_tests(ovrin_tests DISCOVERY_TIMEOUT 60)
endif()

# The ovrin command, and its tests run in-process and through the program.
file(GLOB OVRIN_CLI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cli/*.cpp)
list(REMOVE_ITEM OVRIN_CLI_SOURCES ${CMAKE_SOURCE_DIR}/cli/main.cpp)
add_library(ovrin_cli STATIC ${OVRIN_CLI_SOURCES})
target_link_libraries(ovrin_cli PUBLIC ovrin_core)
add_executable(ovrin_command ${CMAKE_SOURCE_DIR}/cli/main.cpp)
set_target_properties(ovrin_command PROPERTIES OUTPUT_NAME ovrin)
target_link_libraries(ovrin_command PRIVATE ovrin_cli)

if(OVRIN_TESTS)
  file(GLOB OVRIN_CLI_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cli/*.t)
  add_executable(cli_tests ${CMAKE_SOURCE_DIR}/tests/cli/run_cli_tests.cpp)
  target_link_libraries(cli_tests PRIVATE ovrin_cli)
  add_test(NAME cli_in_process COMMAND cli_tests ${OVRIN_CLI_TEST_FILES})
  add_test(NAME cli_program COMMAND cli_tests --exec $<TARGET_FILE:ovrin_command> ${OVRIN_CLI_TEST_FILES})

  file(GLOB OVRIN_CLI_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cli/*_test.cpp)
  if(OVRIN_CLI_UNIT_SOURCES)
    add_executable(cli_unit_tests ${OVRIN_CLI_UNIT_SOURCES})
    target_link_libraries(cli_unit_tests PRIVATE ovrin_cli GTest::gtest GTest::gtest_main)
    gtest_discover_tests(cli_unit_tests DISCOVERY_TIMEOUT 60)
  endif()
endif()
