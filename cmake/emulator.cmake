# ovrin.dll under the x86 emulator: native programs that run the DLL's own
# machine code (built by the mingw32 preset into OVRIN_DLL_DIR) and call it as
# the script host does, for machines that cannot run 32-bit programs.
find_path(UNICORN_INCLUDE_DIR unicorn/unicorn.h REQUIRED)
find_library(UNICORN_LIBRARY unicorn REQUIRED)
set(OVRIN_DLL_DIR ${CMAKE_SOURCE_DIR}/build/mingw32 CACHE PATH "Folder of the cross-built ovrin.dll")
set(OVRIN_DLL ${OVRIN_DLL_DIR}/ovrin.dll)
set(DLL_TESTS ${CMAKE_SOURCE_DIR}/tests/dll)

# Building this build builds the DLLs first, with the mingw32 preset.
if(OVRIN_DLL_DIR STREQUAL "${CMAKE_SOURCE_DIR}/build/mingw32")
  add_custom_target(ovrin_dll ALL
    COMMAND sh -c "[ -f build/mingw32/CMakeCache.txt ] || ${CMAKE_COMMAND} --preset mingw32 >/dev/null"
    COMMAND ${CMAKE_COMMAND} --build --preset mingw32
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
endif()

add_library(ovrin_emulator STATIC ${DLL_TESTS}/pe_image.cpp ${DLL_TESTS}/emulated_machine.cpp
  ${DLL_TESTS}/emulated_services.cpp ${DLL_TESTS}/emulated_dll.cpp)
target_include_directories(ovrin_emulator PUBLIC ${UNICORN_INCLUDE_DIR})
target_link_libraries(ovrin_emulator PUBLIC ovrin_test_support ${UNICORN_LIBRARY})

add_executable(dll_emulator ${DLL_TESTS}/dll_emulator.cpp ${DLL_TESTS}/dll_soak.cpp ${DLL_TESTS}/resource_checks.cpp)
target_link_libraries(dll_emulator PRIVATE ovrin_emulator)

add_executable(fuzz_replay_emulated ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_replay.cpp
  ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_extender.cpp)
target_compile_definitions(fuzz_replay_emulated PRIVATE OVRIN_EMULATOR)
target_link_libraries(fuzz_replay_emulated PRIVATE ovrin_emulator)

file(GLOB OVRIN_CASE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cases/*.cases)
add_test(NAME dll_emulated_cases COMMAND dll_emulator ${OVRIN_DLL} ${OVRIN_CASE_FILES})
add_test(NAME dll_emulated_cases_no_sse2 COMMAND dll_emulator --no-sse2 ${OVRIN_DLL} ${OVRIN_CASE_FILES})
set(OVRIN_EMULATED_SOAK_CALLS 200000)
if(DEFINED ENV{OVRIN_EMULATED_SOAK_CALLS})
  set(OVRIN_EMULATED_SOAK_CALLS $ENV{OVRIN_EMULATED_SOAK_CALLS})
endif()
add_test(NAME dll_emulated_soak
  COMMAND dll_emulator --soak ${OVRIN_EMULATED_SOAK_CALLS} ${CMAKE_SOURCE_DIR}/data/names.txt ${OVRIN_DLL})
add_test(NAME dll_emulated_corpus_replay
  COMMAND fuzz_replay_emulated --dll ${OVRIN_DLL} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)

find_package(GTest REQUIRED)
add_executable(emulated_dll_test ${DLL_TESTS}/emulated_dll_test.cpp)
target_link_libraries(emulated_dll_test PRIVATE ovrin_emulator GTest::gtest GTest::gtest_main)
target_compile_definitions(emulated_dll_test PRIVATE OVRIN_DLL_DIR="${OVRIN_DLL_DIR}"
  OVRIN_CASES_DIR="${CMAKE_SOURCE_DIR}/tests/cases")
add_test(NAME dll_emulated_host COMMAND emulated_dll_test)

# The ovrin command against the emulated DLL, and the command's tests through it.
# Every source of the command but the linked entry points, which the
# emulated DLL's stand in for.
set(OVRIN_CLI_EMULATED_SOURCES ${OVRIN_CLI_SOURCES})
list(REMOVE_ITEM OVRIN_CLI_EMULATED_SOURCES ${CMAKE_SOURCE_DIR}/host/library.cpp)
ovrin_add_command(ovrin_cli_emulated ovrin_emulated
  SOURCES ${OVRIN_CLI_EMULATED_SOURCES} ${DLL_TESTS}/emulated_library.cpp LIBRARIES ovrin_emulator)
target_compile_definitions(ovrin_cli_emulated PRIVATE OVRIN_DEFAULT_DLL="${OVRIN_DLL}")
ovrin_spell_with_icu(ovrin_cli_emulated)
file(GLOB OVRIN_CLI_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cli/*.t)
add_executable(cli_tests_emulated ${CMAKE_SOURCE_DIR}/tests/cli/run_cli_tests.cpp)
target_link_libraries(cli_tests_emulated PRIVATE ovrin_cli_emulated)
add_test(NAME cli_emulated_dll COMMAND cli_tests_emulated ${OVRIN_CLI_TEST_FILES})
file(GLOB OVRIN_EXAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/*.wbt)
add_test(NAME examples_emulated_dll COMMAND sh ${CMAKE_SOURCE_DIR}/tests/examples/check_examples.sh
  $<TARGET_FILE:ovrin_emulated> ${OVRIN_EXAMPLES})
add_test(NAME cli_program_emulated_dll
  COMMAND cli_tests_emulated --exec $<TARGET_FILE:ovrin_emulated> ${CMAKE_SOURCE_DIR}/tests/cli/process.t)

# The demo fails, loudly, when a call through the DLL goes wrong.
add_test(NAME demo_fails_on_a_broken_dll COMMAND sh ${DLL_TESTS}/demo_test.sh)
set_tests_properties(demo_fails_on_a_broken_dll PROPERTIES TIMEOUT 600)
