#!/usr/bin/env bash
# wine-tests.sh: builds the Windows program and runs its tests under Wine,
# headless (Xvfb).  Usage: bash .ci/wine-tests.sh [linux-release-build-dir]
# The Linux build (default build/release) provides the program whose
# containers the Windows one must match byte for byte.
# Environment: WINE_TESTS selects test files ("t10 t30"); WIN32_BUILD_DIR, WIN64_BUILD_DIR override the build
# directories of the mingw and mingw64 presets; ARTIFACTS the screenshot
# directory (default build/wine-artifacts).
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
LINUX_BUILD=$(realpath -m "${1:-build/release}")
ARTIFACTS=$(realpath -m "${ARTIFACTS:-build/wine-artifacts}")
WIN32_BUILD_DIR=$(realpath -m "${WIN32_BUILD_DIR:-build/mingw}")
WIN64_BUILD_DIR=$(realpath -m "${WIN64_BUILD_DIR:-build/mingw64}")

bash .ci/wine-setup.sh || exit 1

build() {  # preset dir
  echo "wine-tests: building preset $1 in $2"
  cmake --preset "$1" -B "$2" >"$2.configure.log" 2>&1 ||
    { cat "$2.configure.log"; return 1; }
  cmake --build "$2" -j "$(nproc)" >"$2.build.log" 2>&1 ||
    { tail -40 "$2.build.log"; return 1; }
}

# The 32-bit program is what ships: it must always build.  It runs here only
# when the kernel runs 32-bit programs; otherwise the same sources are
# tested as a 64-bit program under wine64.
mkdir -p "$(dirname "$WIN32_BUILD_DIR")"
build mingw "$WIN32_BUILD_DIR" || { echo "0 passed, 1 failed"; exit 1; }
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  WINE=/usr/lib/wine/wine
  WIN_BUILD=$WIN32_BUILD_DIR
else
  echo "wine-tests: this system cannot run 32-bit programs;" \
    "testing the 64-bit build under wine64"
  build mingw64 "$WIN64_BUILD_DIR" || { echo "0 passed, 1 failed"; exit 1; }
  WINE=/usr/lib/wine/wine64
  WIN_BUILD=$WIN64_BUILD_DIR
fi
export WINELOADER=$WINE WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

TESTROOT=$(mktemp -d /tmp/ovalith-wine.XXXXXX)
export WINEPREFIX=$TESTROOT/prefix
XVFB_PID=""
cleanup() {
  timeout 20 wineserver -k >/dev/null 2>&1
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$TESTROOT"
}
trap cleanup EXIT

for display in $(seq 91 140); do
  [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$TESTROOT/xvfb.log" 2>&1 &
XVFB_PID=$!
export DISPLAY=":$display"
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done

echo "wine-tests: new Wine prefix $WINEPREFIX"
timeout 180 "$WINE" wineboot -i >"$TESTROOT/wineboot.log" 2>&1
timeout 60 wineserver -w
# No debugger on a crash: a missing program is the debugger.  Wine draws
# the window frames (no window manager to wait for).
cat >"$TESTROOT/setup.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="no-such-debugger.exe"
"Auto"="1"

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="no-such-debugger.exe"
"Auto"="1"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
timeout 60 "$WINE" regedit /S "$(sed 's|/|\\|g; s|^|Z:|' <<<"$TESTROOT/setup.reg")"
timeout 60 wineserver -w

export ROOT TESTROOT WINE WIN_BUILD LINUX_BUILD ARTIFACTS
mkdir -p "$ARTIFACTS"
rm -f "$ARTIFACTS"/*.png
# shellcheck source=../tests/wine/lib.sh
source tests/wine/lib.sh
# WINE_TESTS="t10 t20" runs only those.
for test_file in tests/wine/t[0-9]*.sh; do
  prefix=$(basename "$test_file" | cut -d_ -f1)
  [ -n "${WINE_TESTS:-}" ] && ! grep -qw "$prefix" <<<"$WINE_TESTS" && continue
  echo "== $test_file"
  passed_before=$PASSED failed_before=$FAILED
  # shellcheck disable=SC1090
  source "$test_file"
  # Keys typed with xdotool under Xvfb are now and then lost on a loaded
  # machine; a file with failures runs once more, and its second result
  # counts.  The first failures stay in the log above.
  if [ "$FAILED" -gt "$failed_before" ]; then
    echo "== $test_file again, after $((FAILED - failed_before)) failure(s)"
    PASSED=$passed_before FAILED=$failed_before
    # shellcheck disable=SC1090
    source "$test_file"
  fi
done

echo "screenshots in $ARTIFACTS"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
