# Tests: unit tests beside the code they test, the runs through the
# scripted front end, and the built program end to end.
find_package(OpenSSL REQUIRED COMPONENTS Crypto)

# A stand-in cipher library with the single-block entry points only, and
# variants the program must refuse.
add_library(ovalith_single SHARED tests/single_block_library.cpp)
target_include_directories(ovalith_single PRIVATE src)
target_link_libraries(ovalith_single PRIVATE OpenSSL::Crypto)
foreach(variant encrypt_only no_round_trip key_changing bulk_failing)
  add_library(ovalith_${variant} SHARED tests/single_block_library.cpp)
  target_include_directories(ovalith_${variant} PRIVATE src)
  string(TOUPPER ${variant} define)
  target_compile_definitions(ovalith_${variant} PRIVATE OVALITH_${define})
  target_link_libraries(ovalith_${variant} PRIVATE OpenSSL::Crypto)
endforeach()

add_library(ovalith_test_support STATIC
  tests/child_process.cpp
  tests/scripted_platform.cpp
  tests/test_util.cpp
)
target_include_directories(ovalith_test_support PUBLIC tests)
target_compile_definitions(ovalith_test_support PRIVATE
  OVALITH_PROGRAM="$<TARGET_FILE:ovalith>"
  OVALITH_FAULT_LIBRARY="$<TARGET_FILE:ovalith_fault>")
# Run options are given as designated initializers that leave the rest at
# their defaults.
target_compile_options(ovalith_test_support PUBLIC
  -Wno-missing-field-initializers)
target_link_libraries(ovalith_test_support PUBLIC ovalith_posix OpenSSL::Crypto
                      GTest::gtest GTest::gmock GTest::gtest_main)

add_executable(ovalith_tests
  src/protect/key_folding_test.cpp
  src/protect/container_test.cpp
  src/protect/input_reader_test.cpp
  tests/run_test.cpp
  tests/startup_test.cpp
)
target_link_libraries(ovalith_tests PRIVATE ovalith_test_support)
add_dependencies(ovalith_tests ovalith_cipher ovalith_single
                 ovalith_encrypt_only ovalith_no_round_trip ovalith_key_changing
                 ovalith_bulk_failing)
gtest_discover_tests(ovalith_tests DISCOVERY_TIMEOUT 60)

# The built program, end to end.
add_executable(program_test tests/e2e/program_test.cpp)
target_link_libraries(program_test PRIVATE ovalith_test_support)
add_dependencies(program_test ovalith ovalith_cipher)
gtest_discover_tests(program_test DISCOVERY_TIMEOUT 60)

# The terminal front end through a pseudo-terminal.
add_executable(terminal_pty_test tests/e2e/terminal_pty_test.cpp)
target_link_libraries(terminal_pty_test PRIVATE GTest::gtest GTest::gtest_main
                      util)
target_compile_definitions(terminal_pty_test PRIVATE
  OVALITH_BINARY="$<TARGET_FILE:ovalith>")
add_dependencies(terminal_pty_test ovalith ovalith_cipher)
gtest_discover_tests(terminal_pty_test DISCOVERY_TIMEOUT 60)
include(tests/hardening/hardening.cmake)
