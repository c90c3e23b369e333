#!/usr/bin/env bash
# wine-tests.sh: builds the Windows programs (32-bit and 64-bit) and their
# packages, and runs the tests under Wine, headless (Xvfb): the whole suite
# tests/wine/t*.sh against each program, then the packages (p*.sh) once.
#   bash .ci/wine-tests.sh [linux-release-build-dir]
# The Linux build (default build/release) provides the program whose
# containers the Windows one must match byte for byte.
# Environment: WINE_TESTS selects test files ("t10 p10"); WINE_ARCHES the
# programs ("32 64", the default); WIN32_BUILD_DIR, WIN64_BUILD_DIR the
# build directories of the mingw and mingw64 presets; ARTIFACTS the
# screenshot directory (default build/wine-artifacts).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
ROOT=$PWD
LINUX_BUILD=$(realpath -m "${1:-build/release}")
ARTIFACTS=$(realpath -m "${ARTIFACTS:-build/wine-artifacts}")
WIN32_BUILD_DIR=$(realpath -m "${WIN32_BUILD_DIR:-build/mingw}")
WIN64_BUILD_DIR=$(realpath -m "${WIN64_BUILD_DIR:-build/mingw64}")
PACKAGE_DIR=$(realpath -m "${PACKAGE_DIR:-build/packages}")
WINE_ARCHES=${WINE_ARCHES:-32 64}

# Where the kernel runs no 32-bit code, this also sets up its emulation.
bash .ci/wine-setup.sh || exit 1

build() {  # preset dir
  echo "wine-tests: building preset $1 in $2"
  mkdir -p "$(dirname "$2")"
  cmake --preset "$1" -B "$2" >"$2.configure.log" 2>&1 ||
    { cat "$2.configure.log"; return 1; }
  cmake --build "$2" -j "$(nproc)" >"$2.build.log" 2>&1 ||
    { tail -40 "$2.build.log"; return 1; }
}
build mingw "$WIN32_BUILD_DIR" || { echo "0 passed, 1 failed"; exit 1; }
build mingw64 "$WIN64_BUILD_DIR" || { echo "0 passed, 1 failed"; exit 1; }
# The zips carry the page too (the web suite builds it; built here when
# this suite runs alone).
if [ ! -f build/web/ovalith.html ]; then
  bash scripts/install-deps.sh web || exit 1
  { cmake --preset web && cmake --build --preset web -j "$(nproc)"; } \
    >build/web.build.log 2>&1 ||
    { tail -40 build/web.build.log; echo "0 passed, 1 failed"; exit 1; }
fi
echo "wine-tests: packaging into $PACKAGE_DIR"
bash packaging/windows/make-packages.sh "$WIN32_BUILD_DIR" \
  "$WIN64_BUILD_DIR" "$PACKAGE_DIR" >"$PACKAGE_DIR.log" 2>&1 ||
  { cat "$PACKAGE_DIR.log"; echo "0 passed, 1 failed"; exit 1; }

# No Mono, no Gecko; and no winemenubuilder, which would copy the
# installer's association and shortcuts into this Linux user's desktop.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
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

# One 64-bit prefix for both programs: the 32-bit one runs in it as on
# 64-bit Windows.
echo "wine-tests: new Wine prefix $WINEPREFIX"
timeout 180 /usr/lib/wine/wine64 wineboot -i >"$TESTROOT/wineboot.log" 2>&1
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
timeout 60 /usr/lib/wine/wine64 regedit /S \
  "$(sed 's|/|\\|g; s|^|Z:|' <<<"$TESTROOT/setup.reg")"
timeout 60 wineserver -w

export ROOT TESTROOT LINUX_BUILD ARTIFACTS PACKAGE_DIR
mkdir -p "$ARTIFACTS"
rm -f "$ARTIFACTS"/*.png
# shellcheck source=../tests/wine/lib.sh
source tests/wine/lib.sh

selected() {  # test-file
  local prefix
  prefix=$(basename "$1" | cut -d_ -f1)
  [ -z "${WINE_TESTS:-}" ] || grep -qw "$prefix" <<<"$WINE_TESTS"
}

suite_files=()
for test_file in tests/wine/t[0-9]*.sh; do
  selected "$test_file" && suite_files+=("$test_file")
done
[ ${#suite_files[@]} -gt 0 ] || WINE_ARCHES=""
for bits in $WINE_ARCHES; do
  begin_suite "$bits" || continue
  count_results
  started=$SECONDS passed_before=$PASSED failed_before=$FAILED
  for test_file in "${suite_files[@]}"; do
    echo "== $SUITE: $test_file"
    # shellcheck disable=SC1090
    source "$test_file"
  done
  count_results
  echo "wine-tests: $SUITE suite: $((PASSED - passed_before)) passed," \
    "$((FAILED - failed_before)) failed, $((SECONDS - started)) s"
done

for test_file in tests/wine/p[0-9]*.sh; do
  selected "$test_file" || continue
  started=$SECONDS
  echo "== $test_file"
  # shellcheck disable=SC1090
  source "$test_file"
  echo "wine-tests: $test_file took $((SECONDS - started)) s"
done

count_results
echo "screenshots in $ARTIFACTS"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
