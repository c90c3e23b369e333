#!/usr/bin/env bash
# build-debs.sh: builds the Debian packages ovalith and ovalith-gtk with
# Debian's hardening flags, installed under /usr; the page ovalith.html
# (built with Emscripten, cmake --preset web) goes into ovalith.
#   packaging/linux/build-debs.sh [build-dir]   (default build/debian)
# The .deb files land in the build directory.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath -m "${1:-build/debian}")

# The page first, with Emscripten's own flags, not Debian's.
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)"
page=$PWD/build/web/ovalith.html

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DOVALITH_TESTS=OFF -DOVALITH_GTK=ON -DOVALITH_PAGE="$page"
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/*.deb
