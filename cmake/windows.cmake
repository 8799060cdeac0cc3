# Windows build: ovrin.dll and the host program that runs the tests through it.
enable_language(RC)

# Every Windows binary: sources include from the top of the tree, and the
# compiler's runtime is linked in, so a binary imports system DLLs only.
function(ovrin_windows_binary target)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++ -static)
endfunction()

add_library(ovrin SHARED ${OVRIN_SOURCES}
  ${CMAKE_SOURCE_DIR}/resources/ovrin.rc
  ${CMAKE_SOURCE_DIR}/resources/ovrin.def)
set_target_properties(ovrin PROPERTIES PREFIX "" OUTPUT_NAME ovrin)
# The library compiled as one unit: the dispatcher, the scratch pool and the
# small helpers are inlined into the functions that use them.
include(CheckIPOSupported)
check_ipo_supported(RESULT OVRIN_IPO OUTPUT OVRIN_IPO_OUTPUT)
if(OVRIN_IPO)
  set_property(TARGET ovrin PROPERTY INTERPROCEDURAL_OPTIMIZATION TRUE)
endif()
ovrin_windows_binary(ovrin)
# The same source gives the same bytes: no link time in the PE header, and
# no path of the checkout in the debug information.
set(OVRIN_REPRODUCIBLE_COMPILE -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
set(OVRIN_REPRODUCIBLE_LINK -Wl,--no-insert-timestamp)
target_compile_options(ovrin PRIVATE ${OVRIN_REPRODUCIBLE_COMPILE})
target_link_options(ovrin PRIVATE ${OVRIN_REPRODUCIBLE_LINK})

if(OVRIN_TESTS)
  add_executable(dll_host
    ${CMAKE_SOURCE_DIR}/tests/dll/dll_host.cpp
    ${CMAKE_SOURCE_DIR}/host/dll_entries.cpp
    ${CMAKE_SOURCE_DIR}/tests/dll/dll_soak.cpp
    ${CMAKE_SOURCE_DIR}/tests/dll/resource_checks.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/case_table.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/entry_checks.cpp)
  target_link_libraries(dll_host PRIVATE version psapi)
  ovrin_windows_binary(dll_host)
  add_dependencies(dll_host ovrin)

  file(GLOB OVRIN_CASE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cases/*.cases)
  add_test(NAME dll_cases COMMAND dll_host $<TARGET_FILE:ovrin> ${OVRIN_CASE_FILES})
  add_test(NAME dll_image
    COMMAND ${CMAKE_SOURCE_DIR}/tests/dll/check_dll_image.sh $<TARGET_FILE:ovrin> ${CMAKE_OBJDUMP} ${CMAKE_RC_COMPILER})
  # A million random calls through the DLL with memory flat after the first
  # ten thousand.
  set(OVRIN_SOAK_CALLS 1000000)
  if(DEFINED ENV{OVRIN_SOAK_CALLS})
    set(OVRIN_SOAK_CALLS $ENV{OVRIN_SOAK_CALLS})
  endif()
  add_test(NAME dll_soak COMMAND dll_host --soak ${OVRIN_SOAK_CALLS} ${CMAKE_SOURCE_DIR}/data/names.txt $<TARGET_FILE:ovrin>)
  set_tests_properties(dll_cases dll_soak PROPERTIES ENVIRONMENT "WINEDEBUG=-all")
endif()

# The timed batch through ovrin.dll (bench/bench_dll.cpp); the test runs it
# once over the names without timing.
add_executable(bench_dll ${CMAKE_SOURCE_DIR}/bench/bench_dll.cpp ${CMAKE_SOURCE_DIR}/bench/bench_calls.cpp
  ${CMAKE_SOURCE_DIR}/host/dll_entries.cpp ${CMAKE_SOURCE_DIR}/host/name_file.cpp)
ovrin_windows_binary(bench_dll)
add_dependencies(bench_dll ovrin)

if(OVRIN_TESTS)
  add_test(NAME bench_dll_smoke COMMAND bench_dll --smoke $<TARGET_FILE:ovrin> ${CMAKE_SOURCE_DIR}/data/names.txt)
  set_tests_properties(bench_dll_smoke PROPERTIES ENVIRONMENT "WINEDEBUG=-all")

  # The committed fuzz corpus, replayed through ovrin.dll.
  add_executable(fuzz_replay
    ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_replay.cpp
    ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_extender.cpp
    ${CMAKE_SOURCE_DIR}/host/dll_entries.cpp)
  ovrin_windows_binary(fuzz_replay)
  add_dependencies(fuzz_replay ovrin)
  add_test(NAME fuzz_corpus_replay COMMAND fuzz_replay --dll $<TARGET_FILE:ovrin> ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)
  set_tests_properties(fuzz_corpus_replay PROPERTIES ENVIRONMENT "WINEDEBUG=-all")
endif()

# ovrin.exe beside ovrin.dll: the command, which loads the DLL at run time
# and calls it through its two exports only.
ovrin_add_command(ovrin_cli ovrin_command SOURCES ${OVRIN_CLI_SOURCES} LIBRARIES shell32)
set_target_properties(ovrin_command PROPERTIES OUTPUT_NAME ovrin)
ovrin_windows_binary(ovrin_command)
target_link_options(ovrin_command PRIVATE ${OVRIN_REPRODUCIBLE_LINK})
target_compile_options(ovrin_cli PRIVATE ${OVRIN_REPRODUCIBLE_COMPILE})
target_compile_options(ovrin_command PRIVATE ${OVRIN_REPRODUCIBLE_COMPILE})
add_dependencies(ovrin_command ovrin)

if(OVRIN_TESTS)
  # The command's tests through the DLL: every file in one Wine process, and
  # the program's own tests with one process per test.
  file(GLOB OVRIN_CLI_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cli/*.t)
  add_executable(cli_tests ${CMAKE_SOURCE_DIR}/tests/cli/run_cli_tests.cpp)
  target_link_libraries(cli_tests PRIVATE ovrin_cli)
  ovrin_windows_binary(cli_tests)
  add_dependencies(cli_tests ovrin ovrin_command)
  add_test(NAME cli_dll COMMAND cli_tests ${OVRIN_CLI_TEST_FILES})
  add_test(NAME cli_program_exe
    COMMAND cli_tests --exec $<TARGET_FILE:ovrin_command> ${CMAKE_SOURCE_DIR}/tests/cli/process.t)
  file(GLOB OVRIN_EXAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/*.wbt)
  add_test(NAME examples_exe COMMAND sh ${CMAKE_SOURCE_DIR}/tests/examples/check_examples.sh
    "wine $<TARGET_FILE:ovrin_command>" ${OVRIN_EXAMPLES})
  set_tests_properties(cli_dll cli_program_exe examples_exe PROPERTIES ENVIRONMENT "WINEDEBUG=-all")
endif()

if(OVRIN_TESTS)
  # Broken builds of the DLL, each with one fault, for the emulated host's
  # tests: a byte past an argument's NUL, a wrong stack size on return, an
  # import no host binds, a heap block written past its end.
  set(OVRIN_BREAKS past_nul stack import heap)
  foreach(fault ${OVRIN_BREAKS})
    list(FIND OVRIN_BREAKS ${fault} index)
    math(EXPR number "${index} + 1")
    set(def ${CMAKE_SOURCE_DIR}/tests/dll/broken/broken_stdcall.def)
    if(fault STREQUAL "stack")
      set(def ${CMAKE_SOURCE_DIR}/tests/dll/broken/broken_cdecl.def)
    endif()
    add_library(ovrin_broken_${fault} SHARED ${OVRIN_SOURCES}
      ${CMAKE_SOURCE_DIR}/tests/dll/broken/broken_entry.cpp ${CMAKE_SOURCE_DIR}/resources/ovrin.rc ${def})
    set_target_properties(ovrin_broken_${fault} PROPERTIES PREFIX "")
    target_compile_definitions(ovrin_broken_${fault} PRIVATE OVRIN_BREAK=${number})
    ovrin_windows_binary(ovrin_broken_${fault})
  endforeach()
endif()

# The tests that run Windows programs need Wine, and Wine a machine that runs
# 32-bit programs (tools/probe_wine.sh tells). Where it cannot, they are
# listed as not run, and the emulated preset runs ovrin.dll instead.
if(OVRIN_TESTS)
  execute_process(COMMAND sh ${CMAKE_SOURCE_DIR}/tools/probe_wine.sh
    OUTPUT_VARIABLE OVRIN_WINE_PROBE RESULT_VARIABLE OVRIN_NO_WINE OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(OVRIN_NO_WINE)
    message(STATUS "Wine cannot run here (${OVRIN_WINE_PROBE}): the tests through Wine are disabled; "
      "cmake --workflow --preset emulated runs ovrin.dll in the x86 emulator")
    set_tests_properties(dll_cases dll_soak bench_dll_smoke fuzz_corpus_replay cli_dll cli_program_exe examples_exe
      PROPERTIES DISABLED TRUE)
  endif()
endif()
