#!/usr/bin/env bash
# Builds everything (installing what it lacks) and runs every test:
#   ./test.sh           unit, scripted and end-to-end tests, then the
#                       sanitizer, fault-injection and fuzzing checks, the
#                       GTK program under Xvfb, the Debian packages, the
#                       page in headless Chromium, and the
#                       Windows programs and installer under Wine
#   ./test.sh --quick   only the first group
# Warnings are errors here, whatever the compiler.  A suite that fails or is
# missing fails the whole run.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
export OVALITH_WERROR=ON
bash scripts/install-deps.sh build tests
cmake --preset release -DOVALITH_WERROR=ON
cmake --build --preset release -j"$(nproc)"
ctest --preset release -j"$(nproc)"

[ "${1:-}" = "--quick" ] && exit 0
suite() {
  echo "=== $*"
  bash "$@"
}
suite .ci/hardening.sh
suite .ci/gtk-tests.sh
suite .ci/package-tests.sh
suite .ci/web-tests.sh "$here/build/release"
suite .ci/wine-tests.sh "$here/build/release"
