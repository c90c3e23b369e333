#!/usr/bin/env bash
# gtk-tests.sh: builds ovalith-gtk and drives it for real under Xvfb with
# xdotool: typed passwords, message boxes, the overwrite question, decrypt
# mode, Escape and the close box, the usage message, the progress window,
# sets of files, the file chooser and the desktop entry (gio launch), runs
# stopped from the progress window, and the windows read through AT-SPI.
# Usage: bash .ci/gtk-tests.sh [build-dir]   (default build/gtk-tests)
# Environment: GTK_TESTS selects test files ("t10 t30"); ARTIFACTS the
# screenshot directory (default build/gtk-artifacts).
# Each test runs once: a failure is reported, never retried.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${1:-build/gtk-tests}")
ARTIFACTS=$(realpath -m "${ARTIFACTS:-build/gtk-artifacts}")
started=$SECONDS

bash scripts/install-deps.sh build gtk || exit 1
echo "gtk-tests: building in $BUILD"
mkdir -p "$BUILD"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DOVALITH_TESTS=OFF \
  -DOVALITH_GTK=ON >"$BUILD.configure.log" 2>&1 ||
  { cat "$BUILD.configure.log"; echo "0 passed, 1 failed"; exit 1; }
cmake --build "$BUILD" -j "$(nproc)" --target ovalith ovalith-gtk ovalith_cipher \
  >"$BUILD.build.log" 2>&1 ||
  { tail -40 "$BUILD.build.log"; echo "0 passed, 1 failed"; exit 1; }

TESTROOT=$(mktemp -d /tmp/ovalith-gtk.XXXXXX)
GTK_BUILD=$BUILD
CLOSE_WINDOW=$TESTROOT/close_window
export TESTROOT GTK_BUILD CLOSE_WINDOW ARTIFACTS
# shellcheck source=../tests/gtk/lib.sh
source tests/gtk/lib.sh
trap 'stop_xvfb; rm -rf "$TESTROOT"' EXIT

cc -O2 -o "$CLOSE_WINDOW" tests/gtk/close_window.c -lX11 ||
  { echo "0 passed, 1 failed"; exit 1; }
start_xvfb || { echo "0 passed, 1 failed"; exit 1; }
mkdir -p "$ARTIFACTS"
rm -f "$ARTIFACTS"/*.png
for test_file in tests/gtk/t[0-9]*.sh; do
  prefix=$(basename "$test_file" | cut -d_ -f1)
  [ -n "${GTK_TESTS:-}" ] && ! grep -qw "$prefix" <<<"$GTK_TESTS" && continue
  echo "== $test_file"
  # shellcheck disable=SC1090
  source "$test_file"
done

echo "screenshots in $ARTIFACTS"
count_results
echo "$PASSED passed, $FAILED failed ($((SECONDS - started)) s)"
[ "$FAILED" -eq 0 ]
