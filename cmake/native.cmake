# Native build: the library over the POSIX stand-ins, its tests, the command.
add_library(ovrin_core STATIC ${OVRIN_SOURCES} ${CMAKE_SOURCE_DIR}/platform/platform_posix.cpp)
target_include_directories(ovrin_core PUBLIC ${CMAKE_SOURCE_DIR})
# Optimised builds compile the library as one unit, as the DLL is: the
# dispatcher, the scratch pool and the heap stand-in are inlined into the
# functions that use them. Sanitizer and debug builds stay as they are.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo)$" AND NOT OVRIN_SANITIZE)
  include(CheckIPOSupported)
  check_ipo_supported(RESULT OVRIN_IPO OUTPUT OVRIN_IPO_OUTPUT)
  if(OVRIN_IPO)
    set_property(TARGET ovrin_core PROPERTY INTERPROCEDURAL_OPTIMIZATION TRUE)
  endif()
  target_compile_options(ovrin_core PRIVATE -O3)
endif()

# The heap's test levers (platform_test.h), which only tests link: the
# shipped command has none.
add_library(ovrin_heap_levers STATIC ${CMAKE_SOURCE_DIR}/tests/support/heap_levers.cpp)

add_library(ovrin_test_support STATIC
  ${CMAKE_SOURCE_DIR}/tests/support/case_table.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/entry_checks.cpp)
target_link_libraries(ovrin_test_support PUBLIC ovrin_core ovrin_heap_levers)

# ICU spells names of any script in Latin letters for the matching of people
# (records/latin_spelling.h). Only the Linux builds of the command link it;
# the Windows build spells Latin letters without it.
function(ovrin_spell_with_icu target)
  find_package(ICU REQUIRED COMPONENTS uc i18n)
  target_link_libraries(${target} PRIVATE ICU::i18n ICU::uc)
  target_compile_definitions(${target} PRIVATE OVRIN_ICU)
  string(REGEX MATCH "^[0-9]+" major "${ICU_VERSION}")
  set(OVRIN_ICU_MAJOR ${major} PARENT_SCOPE)
endfunction()

# The emulated DLL's build needs only the test support beside its own hosts.
if(OVRIN_EMULATOR)
  include(cmake/emulator.cmake)
  return()
endif()

# The shipped list of names, as the benchmarks and the golden record read it.
add_library(ovrin_names STATIC ${CMAKE_SOURCE_DIR}/host/name_file.cpp)

# The calls of the benchmarks: every function over the list of names.
add_library(ovrin_bench_calls STATIC ${CMAKE_SOURCE_DIR}/bench/bench_calls.cpp)
target_link_libraries(ovrin_bench_calls PUBLIC ovrin_core ovrin_names)

if(OVRIN_TESTS AND NOT OVRIN_FUZZ)
  add_library(ovrin_golden STATIC ${CMAKE_SOURCE_DIR}/tests/golden/golden_calls.cpp)
  target_link_libraries(ovrin_golden PUBLIC ovrin_core ovrin_names ovrin_heap_levers)
  add_executable(golden_tool ${CMAKE_SOURCE_DIR}/tests/golden/golden_tool.cpp)
  target_link_libraries(golden_tool PRIVATE ovrin_golden)
  target_compile_definitions(golden_tool PRIVATE OVRIN_NAMES_FILE="${CMAKE_SOURCE_DIR}/data/names.txt")

  find_package(GTest REQUIRED)
  file(GLOB OVRIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp
    ${CMAKE_SOURCE_DIR}/tests/reference/*.cpp)
  add_executable(ovrin_tests ${OVRIN_TEST_SOURCES})
  target_link_libraries(ovrin_tests PRIVATE ovrin_test_support ovrin_golden GTest::gtest GTest::gtest_main)
  target_compile_definitions(ovrin_tests PRIVATE OVRIN_CASES_DIR="${CMAKE_SOURCE_DIR}/tests/cases"
    OVRIN_NAMES_FILE="${CMAKE_SOURCE_DIR}/data/names.txt"
    OVRIN_GOLDEN_FILE="${CMAKE_SOURCE_DIR}/tests/golden/results.txt"
    OVRIN_GOLDEN_BLOCKS_FILE="${CMAKE_SOURCE_DIR}/tests/golden/blocks.txt")
  include(GoogleTest)
  gtest_discover_tests(ovrin_tests DISCOVERY_TIMEOUT 60)

  # The same tests over the library built with its plain paths only
  # (extender/fast_paths.h): the case table and the golden record then hold
  # the step-by-step paths to the answers of the fast ones.
  add_library(ovrin_core_plain STATIC ${OVRIN_SOURCES} ${CMAKE_SOURCE_DIR}/platform/platform_posix.cpp)
  target_include_directories(ovrin_core_plain PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_definitions(ovrin_core_plain PUBLIC OVRIN_PLAIN_PATHS)
  add_library(ovrin_plain_test_support STATIC
    ${CMAKE_SOURCE_DIR}/tests/support/case_table.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/entry_checks.cpp
    ${CMAKE_SOURCE_DIR}/tests/golden/golden_calls.cpp)
  target_link_libraries(ovrin_plain_test_support PUBLIC ovrin_core_plain ovrin_names ovrin_heap_levers)
  add_executable(ovrin_plain_path_tests ${OVRIN_TEST_SOURCES})
  target_link_libraries(ovrin_plain_path_tests PRIVATE ovrin_plain_test_support GTest::gtest GTest::gtest_main)
  get_target_property(OVRIN_TEST_DEFINITIONS ovrin_tests COMPILE_DEFINITIONS)
  target_compile_definitions(ovrin_plain_path_tests PRIVATE ${OVRIN_TEST_DEFINITIONS})
  gtest_discover_tests(ovrin_plain_path_tests TEST_PREFIX "plain_paths." DISCOVERY_TIMEOUT 60)
endif()

# The ovrin command, and its tests run in-process and through the program
# (not in the fuzzing build).
if(NOT OVRIN_FUZZ)
  ovrin_add_command(ovrin_cli ovrin_command SOURCES ${OVRIN_CLI_SOURCES} LIBRARIES ovrin_core)
  set_target_properties(ovrin_command PROPERTIES OUTPUT_NAME ovrin)
  ovrin_spell_with_icu(ovrin_cli)

  # What the Debian package installs (tools/package.sh): the command, its
  # manual page made from its own help, bash completion, and the notice and
  # licence of the nickname table the command holds.
  include(GNUInstallDirs)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/ovrin.1.gz
    COMMAND sh -c "sh tools/make_manpage.sh '$<TARGET_FILE:ovrin_command>' ${OVRIN_VERSION} > '${CMAKE_BINARY_DIR}/ovrin.1' && gzip -n -9 < '${CMAKE_BINARY_DIR}/ovrin.1' > '${CMAKE_BINARY_DIR}/ovrin.1.gz'"
    DEPENDS ovrin_command ${CMAKE_SOURCE_DIR}/tools/make_manpage.sh
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
  add_custom_target(ovrin_manpage ALL DEPENDS ${CMAKE_BINARY_DIR}/ovrin.1.gz)
  install(TARGETS ovrin_command RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_BINARY_DIR}/ovrin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/ovrin.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ovrin)
  install(FILES ${CMAKE_SOURCE_DIR}/NOTICE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/data/nicknames/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR}
    RENAME LICENSE-nicknames)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME ovrin)
  set(CPACK_PACKAGE_VERSION ${OVRIN_VERSION})
  set(CPACK_PACKAGE_CONTACT "Ovrin developers <dev@ovrin.invalid>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "match personal names by sound and spelling")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Soundex, Metaphone, Phonex and Double Metaphone codes, Guth match, Levenshtein distance and abbreviation, consonant and vowel tests from the command line and over files, and the records of lists that are probably the same name spelled differently.")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1, libicu${OVRIN_ICU_MAJOR}")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
  include(CPack)
endif()

if(OVRIN_TESTS AND NOT OVRIN_FUZZ)
  file(GLOB OVRIN_CLI_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cli/*.t)
  add_executable(cli_tests ${CMAKE_SOURCE_DIR}/tests/cli/run_cli_tests.cpp)
  target_link_libraries(cli_tests PRIVATE ovrin_cli)
  add_test(NAME cli_in_process COMMAND cli_tests ${OVRIN_CLI_TEST_FILES})
  add_test(NAME cli_program COMMAND cli_tests --exec $<TARGET_FILE:ovrin_command> ${OVRIN_CLI_TEST_FILES})
  # Every call of the sample scripts, against the result its line gives.
  file(GLOB OVRIN_EXAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/*.wbt)
  add_test(NAME examples COMMAND sh ${CMAKE_SOURCE_DIR}/tests/examples/check_examples.sh
    $<TARGET_FILE:ovrin_command> ${OVRIN_EXAMPLES})
  add_test(NAME cli_full_device
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/cli/full_device.sh $<TARGET_FILE:ovrin_command> ${CMAKE_SOURCE_DIR})
  add_test(NAME cli_progress_terminal
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/cli/progress_terminal.sh $<TARGET_FILE:ovrin_command> ${CMAKE_SOURCE_DIR})
  # The --report page rendered in headless Chromium; its screenshot is
  # build/.../report/report.png.
  add_test(NAME report_browser
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/report/browser_test.sh $<TARGET_FILE:ovrin_command> ${CMAKE_SOURCE_DIR}
            ${CMAKE_BINARY_DIR}/report)
  set_tests_properties(cli_full_device cli_progress_terminal report_browser PROPERTIES SKIP_RETURN_CODE 77)
  # In two halves that can run side by side: map and matching by a code,
  # then the matching of people.
  add_test(NAME cli_messy_records
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/cli/messy_records_check.py $<TARGET_FILE:ovrin_command> ${CMAKE_SOURCE_DIR}
            map "group --confirm" "link --confirm")
  add_test(NAME cli_messy_records_people
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/cli/messy_records_check.py $<TARGET_FILE:ovrin_command> ${CMAKE_SOURCE_DIR}
            group link)

  file(GLOB OVRIN_CLI_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cli/*_test.cpp)
  add_executable(cli_unit_tests ${OVRIN_CLI_UNIT_SOURCES})
  target_link_libraries(cli_unit_tests PRIVATE ovrin_cli ovrin_heap_levers GTest::gtest GTest::gtest_main)
  target_compile_definitions(cli_unit_tests PRIVATE OVRIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(cli_unit_tests DISCOVERY_TIMEOUT 60)
endif()

# The fuzz target with a plain main() that replays the committed corpus, and
# the tool that turns the table of cases into seeds.
add_executable(fuzz_replay
  ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_replay.cpp
  ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_extender.cpp
  ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_inprocess.cpp)
target_link_libraries(fuzz_replay PRIVATE ovrin_test_support)
add_executable(fuzz_seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_seeds.cpp)
target_link_libraries(fuzz_seeds PRIVATE ovrin_test_support)
add_test(NAME fuzz_corpus_replay COMMAND fuzz_replay ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)

if(OVRIN_FUZZ)
  # libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer (clang).
  # How long the fuzz test runs; the environment may say otherwise.
  set(OVRIN_FUZZ_SECONDS 120)
  if(DEFINED ENV{OVRIN_FUZZ_SECONDS})
    set(OVRIN_FUZZ_SECONDS $ENV{OVRIN_FUZZ_SECONDS})
  endif()
  add_executable(fuzz_extender
    ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_extender.cpp
    ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_inprocess.cpp)
  target_link_libraries(fuzz_extender PRIVATE ovrin_test_support)
  target_link_options(fuzz_extender PRIVATE -fsanitize=fuzzer)
  file(GLOB OVRIN_CASE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cases/*.cases)
  add_test(NAME fuzz_prepare COMMAND ${CMAKE_COMMAND} -E make_directory
    ${CMAKE_BINARY_DIR}/fuzz/work ${CMAKE_BINARY_DIR}/fuzz/seeds ${CMAKE_BINARY_DIR}/fuzz/findings)
  add_test(NAME fuzz_seed COMMAND fuzz_seeds ${CMAKE_BINARY_DIR}/fuzz/seeds ${OVRIN_CASE_FILES})
  add_test(NAME fuzz_run COMMAND fuzz_extender -max_total_time=${OVRIN_FUZZ_SECONDS} -timeout=10
    -rss_limit_mb=4096 -max_len=12000 -print_final_stats=1
    -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz/findings/
    ${CMAKE_BINARY_DIR}/fuzz/work ${CMAKE_BINARY_DIR}/fuzz/seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)
  set_tests_properties(fuzz_prepare PROPERTIES FIXTURES_SETUP fuzz_dirs)
  set_tests_properties(fuzz_seed PROPERTIES FIXTURES_REQUIRED fuzz_dirs FIXTURES_SETUP fuzz_seeds)
  set_tests_properties(fuzz_run PROPERTIES FIXTURES_REQUIRED "fuzz_dirs;fuzz_seeds"
    TIMEOUT 900 ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()

# Benchmarks (not part of the tests but for a smoke run).
find_package(benchmark QUIET)
if(benchmark_FOUND AND NOT OVRIN_FUZZ)
  add_executable(bench_functions ${CMAKE_SOURCE_DIR}/bench/bench_functions.cpp
    ${CMAKE_SOURCE_DIR}/bench/peer_levenshtein.cpp)
  target_link_libraries(bench_functions PRIVATE ovrin_bench_calls benchmark::benchmark)
  target_compile_definitions(bench_functions PRIVATE OVRIN_NAMES_FILE="${CMAKE_SOURCE_DIR}/data/names.txt")
  add_test(NAME bench_smoke COMMAND bench_functions --benchmark_min_time=0.001 --benchmark_repetitions=1)
endif()

# The generator of synthetic people with labelled duplicates, for the
# quality test and the matching benchmark.
if(NOT OVRIN_FUZZ)
  add_library(ovrin_people STATIC ${CMAKE_SOURCE_DIR}/tests/quality/people_generator.cpp
    ${CMAKE_SOURCE_DIR}/tests/quality/scripts.cpp)
  target_include_directories(ovrin_people PUBLIC ${CMAKE_SOURCE_DIR}/tests/quality)
  add_executable(make_people ${CMAKE_SOURCE_DIR}/tests/quality/make_people.cpp)
  target_link_libraries(make_people PRIVATE ovrin_people)
  target_compile_definitions(make_people PRIVATE OVRIN_PEOPLE_NAMES="${CMAKE_SOURCE_DIR}/tests/quality/names"
    OVRIN_NICKNAMES="${CMAKE_SOURCE_DIR}/data/nicknames/names.csv")
  if(OVRIN_TESTS)
    add_test(NAME people_quality COMMAND sh ${CMAKE_SOURCE_DIR}/tests/quality/people_quality.sh
      $<TARGET_FILE:make_people> $<TARGET_FILE:ovrin_command>)
    add_test(NAME people_properties COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/quality/people_properties.py
      $<TARGET_FILE:make_people> $<TARGET_FILE:ovrin_command>)
    # The generator's own tests: its export modes and the text helpers.
    file(GLOB OVRIN_PEOPLE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/quality/*_test.cpp)
    add_executable(people_generator_tests ${OVRIN_PEOPLE_TEST_SOURCES})
    target_link_libraries(people_generator_tests PRIVATE ovrin_people GTest::gtest GTest::gtest_main)
    get_target_property(OVRIN_PEOPLE_DEFINITIONS make_people COMPILE_DEFINITIONS)
    target_compile_definitions(people_generator_tests PRIVATE ${OVRIN_PEOPLE_DEFINITIONS})
    gtest_discover_tests(people_generator_tests DISCOVERY_TIMEOUT 60)
  endif()
endif()
