#!/usr/bin/env bash
# CI: the whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer
# (fault injection, SIGKILL, full disk and hostile-input tests included), then
# the decryption fuzzer for about a minute.  Installs what it lacks.
#
#   OVALITH_FUZZ_SECONDS   fuzzing time (default 60)
#   OVALITH_SLOW_TESTS=1   also the 5 GiB sparse-file run (minutes, 10 GiB)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh build tests hardening

echo "== ASan + UBSan build and test suite"
cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"
if [[ "${OVALITH_SLOW_TESTS:-0}" == 1 ]]; then
  ctest --preset asan-slow --timeout 3600
fi

echo "== Decryption fuzzer"
cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)"
# Work on a copy: the fuzzer adds what it finds to its corpus directory.
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus/"
(cd build/fuzz &&
  ./ovalith_decrypt_fuzz -max_total_time="${OVALITH_FUZZ_SECONDS:-60}" \
    -print_final_stats=1 "$corpus")
echo "== hardening: all passed"
