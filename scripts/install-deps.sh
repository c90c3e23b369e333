#!/usr/bin/env bash
# Installs the Debian packages a group of tasks needs, only those missing.
#   scripts/install-deps.sh GROUP...
# Groups:
#   build     the program and its cipher library
#   tests     GoogleTest, Google Benchmark, OpenSSL as the DES oracle,
#             Python for the S-box generator's check
#   hardening sanitizers and the fuzzer (clang)
#   windows   the mingw-w64 cross build, Wine and the tools to drive it,
#             NSIS for the installer; and where the kernel runs no 32-bit
#             code, qemu-i386 emulation for Wine's 32-bit loader
#             (scripts/i386-emulation.sh)
#   gtk       the GTK front end and its tests under Xvfb
#   package   Debian packaging and its checks
#   web       the page: Emscripten, and headless Chromium driven by Selenium
# Root or sudo is needed only when something is missing.  A package manager
# busy elsewhere (updates at boot) is waited for, not failed on.
set -euo pipefail

declare -A groups=(
  [build]="cmake g++ make pkg-config"
  [tests]="libgtest-dev libgmock-dev libbenchmark-dev libssl-dev openssl python3"
  [hardening]="clang libclang-rt-dev"
  [windows]="binutils g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb xauth xdotool x11-utils imagemagick fonts-wine nsis zip unzip python3"
  [gtk]="libgtk-4-dev xvfb xauth xdotool x11-utils imagemagick libglib2.0-bin at-spi2-core dbus-daemon python3-pyatspi gir1.2-atspi-2.0"
  [web]="emscripten node-acorn chromium chromium-driver python3-selenium"
  [package]="dpkg-dev lintian fakeroot file desktop-file-utils shared-mime-info libglib2.0-bin xdg-utils libfile-mimeinfo-perl man-db python3-nautilus"
)

[ $# -gt 0 ] || set -- build
wanted=()
for group in "$@"; do
  [ -n "${groups[$group]+set}" ] || {
    echo "install-deps: no group \"$group\" (${!groups[*]})" >&2
    exit 2
  }
  read -ra list <<<"${groups[$group]}"
  wanted+=("${list[@]}")
done

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"
}
missing=()
for p in "${wanted[@]}"; do
  installed "$p" || missing+=("$p")
done

# What a group needs beyond packages, once they are in place.
after_install() {
  for group in "$@"; do
    if [ "$group" = windows ]; then
      bash "$(dirname "$0")/i386-emulation.sh"
    fi
  done
}

if [ ${#missing[@]} -eq 0 ]; then
  after_install "$@"
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
for p in "${missing[@]}"; do
  if [[ $p == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "install-deps: adding the i386 architecture" >&2
    $sudo dpkg --add-architecture i386
  fi
done

echo "install-deps: installing ${missing[*]}" >&2
# apt's own lock timeout makes it wait for dpkg's lock; the package lists'
# lock it does not wait for, so a run that meets a busy lock is tried again,
# for up to 20 minutes in all, instead of failing.
apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -q
     -o DPkg::Lock::Timeout=1200)
apt_waiting() {
  local log deadline=$((SECONDS + 1200))
  log=$(mktemp)
  until "${apt[@]}" "$@" 2> >(tee "$log" >&2); do
    if ! grep -q "Could not get lock\|Unable to lock" "$log" ||
      [ "$SECONDS" -ge "$deadline" ]; then
      rm -f "$log"
      return 1
    fi
    echo "install-deps: the package manager is busy; waiting" >&2
    sleep 10
  done
  rm -f "$log"
}
apt_waiting update
apt_waiting install -y --no-install-recommends "${missing[@]}"
after_install "$@"
