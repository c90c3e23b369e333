#!/usr/bin/env bash
# Builds everything (installing what it lacks) and runs every test:
#   ./test.sh           unit, scripted and end-to-end tests, then the
#                       sanitizer, fault-injection and fuzzing checks and the
#                       Windows program under Wine
#   ./test.sh --quick   only the first group
# Warnings are errors here, whatever the compiler.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
export OVALITH_WERROR=ON
bash scripts/install-deps.sh build tests
cmake --preset release -DOVALITH_WERROR=ON
cmake --build --preset release -j"$(nproc)"
ctest --preset release -j"$(nproc)"

[ "${1:-}" = "--quick" ] && exit 0
for suite in .ci/hardening.sh .ci/wine-tests.sh; do
  echo "=== $suite"
  bash "$suite" "$here/build/release"
done
