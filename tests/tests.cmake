# Tests: unit tests beside the code they test, the runs through the
# scripted front end on the in-memory system, the real POSIX system, and
# the built program end to end.
find_package(OpenSSL REQUIRED COMPONENTS Crypto)

# The tests' helpers and their one DES oracle (OpenSSL's), also linked into
# the stand-in cipher libraries.
add_library(ovalith_test_util OBJECT tests/test_util.cpp)
set_target_properties(ovalith_test_util PROPERTIES
  POSITION_INDEPENDENT_CODE ON)
target_link_libraries(ovalith_test_util PUBLIC OpenSSL::Crypto)

# A stand-in cipher library with the single-block entry points only, and
# variants the program must refuse.
foreach(variant single encrypt_only no_round_trip key_changing bulk_failing)
  add_library(ovalith_${variant} SHARED tests/single_block_library.cpp)
  target_include_directories(ovalith_${variant} PRIVATE src tests)
  set_target_properties(ovalith_${variant} PROPERTIES
    CXX_VISIBILITY_PRESET hidden)
  if(NOT variant STREQUAL "single")
    string(TOUPPER ${variant} define)
    target_compile_definitions(ovalith_${variant} PRIVATE OVALITH_${define})
  endif()
  target_link_libraries(ovalith_${variant} PRIVATE ovalith_test_util)
endforeach()

add_library(ovalith_test_support STATIC
  tests/child_process.cpp
  tests/memory_system.cpp
  tests/scripted_view.cpp
)
target_include_directories(ovalith_test_support PUBLIC tests)
# The in-memory system loads the cipher library (or a stand-in) from the
# build directory.
target_compile_definitions(ovalith_test_support PRIVATE
  OVALITH_PROGRAM="$<TARGET_FILE:ovalith>"
  OVALITH_FAULT_LIBRARY="$<TARGET_FILE:ovalith_fault>"
  OVALITH_LIBRARY_DIR="$<TARGET_FILE_DIR:ovalith_cipher>")
# Run options are given as designated initializers that leave the rest at
# their defaults.
target_compile_options(ovalith_test_support PUBLIC
  -Wno-missing-field-initializers)
target_link_libraries(ovalith_test_support PUBLIC ovalith_posix ovalith_test_util util
                      GTest::gtest GTest::gmock GTest::gtest_main)

# The core's tests: on the in-memory system, they never write to the disk.
add_executable(ovalith_tests
  src/protect/key_folding_test.cpp
  src/protect/container_test.cpp
  src/protect/input_reader_test.cpp
  src/protect/writer_thread_test.cpp
  src/startup/command_line_test.cpp
  src/ui/file_set_test.cpp
  src/ui/terminal/terminal_view_test.cpp
  tests/run_test.cpp
  tests/set_run_test.cpp
  tests/startup_test.cpp
)
target_link_libraries(ovalith_tests PRIVATE ovalith_test_support
                      ovalith_terminal)
add_dependencies(ovalith_tests ovalith_cipher ovalith_single
                 ovalith_encrypt_only ovalith_no_round_trip ovalith_key_changing
                 ovalith_bulk_failing)
gtest_discover_tests(ovalith_tests DISCOVERY_TIMEOUT 60)
# And they pass with every file system read-only (skipped where user
# namespaces are not allowed).
add_test(NAME CoreTestsWithoutDisk
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/core_without_disk.sh
          $<TARGET_FILE:ovalith_tests>)
set_tests_properties(CoreTestsWithoutDisk PROPERTIES SKIP_RETURN_CODE 77)

# The real POSIX system, in temporary directories.
add_executable(posix_system_test src/platform/posix/posix_system_test.cpp)
target_link_libraries(posix_system_test PRIVATE ovalith_test_support)
add_dependencies(posix_system_test ovalith_cipher)
gtest_discover_tests(posix_system_test DISCOVERY_TIMEOUT 60)

# The page's Windows-1252 (it has no iconv) against the POSIX system's.
add_executable(windows_1252_test src/platform/web/windows_1252.cpp
                                 src/platform/web/windows_1252_test.cpp)
target_link_libraries(windows_1252_test PRIVATE ovalith_test_support)
gtest_discover_tests(windows_1252_test DISCOVERY_TIMEOUT 60)

# The built program, end to end.
add_executable(program_test tests/e2e/program_test.cpp
                            tests/e2e/data_safety_test.cpp
                            tests/e2e/several_files_test.cpp)
target_link_libraries(program_test PRIVATE ovalith_test_support)
add_dependencies(program_test ovalith ovalith_cipher)
gtest_discover_tests(program_test DISCOVERY_TIMEOUT 60)

# The terminal front end through a pseudo-terminal.
add_executable(terminal_pty_test tests/e2e/terminal_pty_test.cpp)
target_link_libraries(terminal_pty_test PRIVATE ovalith_test_support)
add_dependencies(terminal_pty_test ovalith ovalith_cipher)
gtest_discover_tests(terminal_pty_test DISCOVERY_TIMEOUT 60)
include(tests/hardening/hardening.cmake)
