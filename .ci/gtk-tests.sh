#!/usr/bin/env bash
# gtk-tests.sh: builds ovalith-gtk and drives it for real under Xvfb with
# xdotool: typed passwords, message boxes, the overwrite question, decrypt
# mode, Escape and the close box, the usage message, the progress window.
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
XVFB_PID=""
cleanup() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  rm -rf "$TESTROOT"
}
trap cleanup EXIT

CLOSE_WINDOW=$TESTROOT/close_window
cc -O2 -o "$CLOSE_WINDOW" tests/gtk/close_window.c -lX11 ||
  { echo "0 passed, 1 failed"; exit 1; }

# A display no one else uses; the server is ready when its socket is.
for display in $(seq 141 190); do
  [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$TESTROOT/xvfb.log" 2>&1 &
XVFB_PID=$!
export DISPLAY=":$display"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 ||
  { cat "$TESTROOT/xvfb.log"; echo "gtk-tests: Xvfb did not start"; exit 1; }

# X11 (no Wayland here anyway), GTK's software renderer so that the tests do
# not depend on Mesa, and no accessibility bus (none runs here).
export GDK_BACKEND=x11 GSK_RENDERER=cairo GTK_A11Y=none
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS

GTK_BUILD=$BUILD
export TESTROOT GTK_BUILD CLOSE_WINDOW ARTIFACTS
mkdir -p "$ARTIFACTS"
rm -f "$ARTIFACTS"/*.png
# shellcheck source=../tests/gtk/lib.sh
source tests/gtk/lib.sh
for test_file in tests/gtk/t[0-9]*.sh; do
  prefix=$(basename "$test_file" | cut -d_ -f1)
  [ -n "${GTK_TESTS:-}" ] && ! grep -qw "$prefix" <<<"$GTK_TESTS" && continue
  echo "== $test_file"
  # shellcheck disable=SC1090
  source "$test_file"
done

echo "screenshots in $ARTIFACTS"
echo "$PASSED passed, $FAILED failed ($((SECONDS - started)) s)"
[ "$FAILED" -eq 0 ]
