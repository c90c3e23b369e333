#!/usr/bin/env bash
# The page: built with Emscripten (cmake --preset web), its cipher paths
# under node against OpenSSL, then the page itself in headless Chromium
# against the desktop program and OpenSSL.  Screenshots go to
# build/web-artifacts.
#   .ci/web-tests.sh [RELEASE_BUILD_DIR]   (default build/release)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
release="${1:-$here/build/release}"
bash scripts/install-deps.sh web tests
cmake --preset web
cmake --build --preset web -j"$(nproc)"
[ -x "$release/ovalith" ] || {
  echo "web-tests: no desktop program in $release" >&2
  exit 1
}
# Debian's selenium is importable by Debian's interpreter only.
/usr/bin/python3 tests/web/des_paths_wasm_test.py build/web
/usr/bin/python3 tests/web/page_test.py build/web/ovalith.html \
  "$release/ovalith" build/web-artifacts
