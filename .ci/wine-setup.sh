#!/usr/bin/env bash
# wine-setup.sh: installs what the Windows cross build and its tests under
# Wine need on Debian 12, and only what is missing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# apt_install [--no-install-recommends] package...
apt_install() {
  local options=() missing=()
  if [ "$1" = --no-install-recommends ]; then
    options+=("$1")
    shift
  fi
  for package in "$@"; do
    installed "$package" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "wine-setup: installing ${missing[*]}"
  if [ -z "${updated:-}" ]; then
    $SUDO apt-get update -q
    updated=1
  fi
  $SUDO env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q "${options[@]}" "${missing[@]}"
}

# The 32-bit program is what ships; the 64-bit one is what runs under a Wine
# that lacks its 32-bit half (a kernel without 32-bit support).
apt_install --no-install-recommends cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
  libgcrypt-mingw-w64-dev

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "wine-setup: adding the i386 architecture"
  $SUDO dpkg --add-architecture i386
  unset updated
fi
apt_install wine wine64 wine32:i386 xvfb xauth xdotool x11-utils imagemagick
