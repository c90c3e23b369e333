# Hardening tests: the built program under injected faults, a full disk,
# SIGKILL at random moments and hostile inputs; the libFuzzer target over
# decryption when OVALITH_FUZZ is on.

# Fails one chosen system call of the program it is preloaded into.  Its
# code is never instrumented: it sits in front of the sanitizers' own
# interceptors.
add_library(ovalith_fault SHARED tests/hardening/fault_inject.cpp)
target_compile_options(ovalith_fault PRIVATE -fno-sanitize=all)
target_link_libraries(ovalith_fault PRIVATE ${CMAKE_DL_LIBS})

add_executable(ovalith_hardening_tests
  tests/hardening/fault_test.cpp
  tests/hardening/interrupt_test.cpp
  tests/hardening/bad_input_test.cpp
  tests/hardening/position_test.cpp
)
target_link_libraries(ovalith_hardening_tests PRIVATE ovalith_test_support)
add_dependencies(ovalith_hardening_tests ovalith ovalith_cipher ovalith_fault)
# The 5 GiB sparse-file run is registered on its own, labelled "slow", and
# runs only with OVALITH_SLOW_TESTS=1.
gtest_discover_tests(ovalith_hardening_tests DISCOVERY_TIMEOUT 60
  TEST_FILTER "-Slow.*"
  PROPERTIES LABELS hardening TIMEOUT 600)
add_test(NAME Slow.SparseFileLargerThanFourGiB
  COMMAND ovalith_hardening_tests --gtest_filter=Slow.*)
set_tests_properties(Slow.SparseFileLargerThanFourGiB PROPERTIES
  LABELS slow TIMEOUT 1800 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# --- Fuzzing (clang only) -----------------------------------------------
option(OVALITH_FUZZ "Build the libFuzzer target (needs clang)" OFF)
if(OVALITH_FUZZ)
  # The core is compiled again with the fuzzer's instrumentation and runs
  # on the in-memory system; the cipher is the tests' DES oracle, linked
  # in, so no library is loaded per input.
  get_target_property(ovalith_core_sources ovalith_core SOURCES)
  get_target_property(ovalith_posix_sources ovalith_posix SOURCES)
  add_executable(ovalith_decrypt_fuzz
    fuzz/decrypt_fuzz.cpp
    tests/memory_system.cpp
    tests/scripted_view.cpp
    tests/test_util.cpp
    ${ovalith_posix_sources}
    ${ovalith_core_sources}
  )
  target_include_directories(ovalith_decrypt_fuzz PRIVATE src tests)
  target_compile_definitions(ovalith_decrypt_fuzz PRIVATE
    OVALITH_LIBRARY_DIR="${CMAKE_BINARY_DIR}")
  set(ovalith_fuzz_flags -fsanitize=fuzzer,address,undefined
      -fno-sanitize-recover=all)
  target_compile_options(ovalith_decrypt_fuzz PRIVATE ${ovalith_fuzz_flags})
  target_link_options(ovalith_decrypt_fuzz PRIVATE ${ovalith_fuzz_flags})
  target_link_libraries(ovalith_decrypt_fuzz PRIVATE OpenSSL::Crypto
                        ${CMAKE_DL_LIBS})
endif()
