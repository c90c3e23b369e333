#!/usr/bin/env bash
# Makes what a Windows user downloads, from the 32-bit and 64-bit builds:
#   ovalith-VERSION-win32.zip, ovalith-VERSION-win64.zip  portable folders
#   ovalith-VERSION-setup.exe                              per-user installer
#                                                          (both programs;
#                                                          it picks one)
#   packaging/windows/make-packages.sh WIN32-BUILD WIN64-BUILD OUT-DIR [PAGE]
# PAGE: the page for a browser (default build/web/ovalith.html, made by
# cmake --preset web), which goes into both zips.
# Needs makensis (Debian nsis) and zip.  The notices name the third-party
# code each build links, taken from the Debian packages it was built with.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -eq 3 ] || [ $# -eq 4 ] || {
  echo "usage: $0 WIN32-BUILD WIN64-BUILD OUT-DIR [PAGE]" >&2
  exit 2
}
build32=$(realpath "$1")
build64=$(realpath "$2")
out=$(realpath -m "$3")
page=$(realpath -m "${4:-$root/build/web/ovalith.html}")
[ -f "$page" ] || { echo "$page: not built (cmake --preset web)" >&2; exit 1; }
version=$(sed -n 's/^project(ovalith VERSION \([0-9.]*\).*/\1/p' \
  "$root/CMakeLists.txt")
for build in "$build32" "$build64"; do
  for file in ovalith.exe ovalith-cli.exe ovalith.dll; do
    [ -f "$build/$file" ] || { echo "$build/$file: not built" >&2; exit 1; }
  done
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$out"
mkdir -p "$out" "$work/docs"

# Windows text files: CRLF line ends.
crlf() { sed 's/\r*$/\r/' "$@"; }

crlf "$here/README.txt" >"$work/docs/README.txt"
crlf "$root/LICENSE" >"$work/docs/LICENSE.txt"

notice() {  # title debian-package licence...
  local title=$1 package=$2
  shift 2
  printf '\n%s\n%s\n\n' "$title" "$(printf '=%.0s' $(seq ${#title}))"
  cat "/usr/share/doc/$package/copyright"
  for licence in "$@"; do
    printf '\n--- %s ---\n\n' "$licence"
    cat "/usr/share/common-licenses/$licence"
  done
}

{
  cat <<EOF
Ovalith $version for Windows: third-party code

ovalith.exe, ovalith-cli.exe and ovalith.dll are built with GCC for mingw-w64 and linked
statically, so they contain parts of the GCC runtime libraries (libstdc++,
libgcc: GPL-3 with the GCC Runtime Library Exception, which lets programs
built with GCC carry them under their own licence) and of the mingw-w64
runtime and its winpthreads library (permissive licences).
EOF
  notice "GCC runtime libraries" gcc-mingw-w64-base GPL-3
  notice "mingw-w64 runtime and winpthreads" mingw-w64-common
} | crlf >"$work/docs/THIRD-PARTY-NOTICES.txt"

for arch in 32 64; do
  build=$build32
  [ "$arch" = 64 ] && build=$build64
  folder=$work/zip$arch/ovalith-$version-win$arch
  mkdir -p "$folder"
  cp "$build/ovalith.exe" "$build/ovalith-cli.exe" "$build/ovalith.dll" \
    "$work/docs/"*.txt "$page" "$folder/"
  (cd "$work/zip$arch" && zip -X -q -r "$out/ovalith-$version-win$arch.zip" \
    "ovalith-$version-win$arch")
done

makensis -V2 -DVERSION="$version" -DBIN32="$build32" -DBIN64="$build64" \
  -DDOCS="$work/docs" -DOUTFILE="$out/ovalith-$version-setup.exe" \
  "$here/ovalith.nsi"
ls -l "$out"
