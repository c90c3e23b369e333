#!/usr/bin/env bash
# CI: the whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer
# (fault injection, SIGKILL, full disk and hostile-input tests included), then
# the decryption fuzzer for about a minute.  Installs what it lacks.
#
#   OVALITH_BUILD_ROOT     where the two builds go (default: build/)
#   OVALITH_FUZZ_SECONDS   fuzzing time (default 60)
#   OVALITH_SLOW_TESTS=1   also the 5 GiB sparse-file run (minutes, 10 GiB)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config libgtest-dev libgmock-dev
          libssl-dev clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

root="${OVALITH_BUILD_ROOT:-build}"
jobs="$(nproc)"

echo "== ASan + UBSan build and test suite"
cmake --preset asan -B "$root/asan"
cmake --build "$root/asan" -j"$jobs"
# exitcode=86: a sanitizer report must not pass for the program's own
# status 1 in tests that expect the usage message.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:check_initialization_order=1:exitcode=86"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=86"
ctest --test-dir "$root/asan" -j"$jobs" -LE slow --output-on-failure \
  --timeout 600
if [[ "${OVALITH_SLOW_TESTS:-0}" == 1 ]]; then
  ctest --test-dir "$root/asan" -L slow --output-on-failure --timeout 3600
fi

echo "== Decryption fuzzer"
cmake --preset fuzz -B "$root/fuzz"
cmake --build "$root/fuzz" -j"$jobs" --target ovalith_decrypt_fuzz
# Work on a copy: the fuzzer adds what it finds to its corpus directory.
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus/"
(cd "$root/fuzz" &&
  ./ovalith_decrypt_fuzz -max_total_time="${OVALITH_FUZZ_SECONDS:-60}" \
    -print_final_stats=1 "$corpus")
echo "== hardening: all passed"
