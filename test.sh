#!/usr/bin/env bash
# Builds everything (installing what it lacks) and runs every test:
#   ./test.sh           unit, scripted and end-to-end tests, then the
#                       sanitizer, fault-injection and fuzzing checks and the
#                       Windows program under Wine
#   ./test.sh --quick   only the first group
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release -j"$(nproc)"

[ "${1:-}" = "--quick" ] && exit 0
for suite in .ci/hardening.sh .ci/wine-tests.sh; do
  if [ -f "$suite" ]; then
    echo "=== $suite"
    bash "$suite" "$here/build/release"
  fi
done
