#!/usr/bin/env bash
# package-tests.sh: builds the Debian packages ovalith and ovalith-gtk,
# inspects them (dpkg-deb -c, lintian), installs them with apt, uses them
# (/usr/bin/ovalith on a file, the man page, the container type, a
# container opened with gio open and xdg-open under Xvfb), and purges them,
# checking that nothing is left.
# Usage: bash .ci/package-tests.sh [build-dir]   (default build/package-tests)
# Needs root (or sudo) for apt.  Packages of these names already installed
# are purged first.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${1:-build/package-tests}")
started=$SECONDS
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -q -y
     -o DPkg::Lock::Timeout=1200)

bash scripts/install-deps.sh build gtk package web || exit 1
echo "package-tests: building the packages in $BUILD"
packaging/linux/build-debs.sh "$BUILD" >"$BUILD.log" 2>&1 ||
  { tail -40 "$BUILD.log"; echo "0 passed, 1 failed"; exit 1; }

TESTROOT=$(mktemp -d /tmp/ovalith-package.XXXXXX)
export TESTROOT
# shellcheck source=../tests/gtk/lib.sh
source tests/gtk/lib.sh
trap 'stop_xvfb; rm -rf "$TESTROOT"' EXIT

cli_deb=$(ls "$BUILD"/ovalith_*.deb)
gtk_deb=$(ls "$BUILD"/ovalith-gtk_*.deb)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
private=usr/lib/$multiarch/ovalith

echo "== contents"
contents() {  # deb
  dpkg-deb -c "$1" | awk '{print $6}' | sed 's|^\./||; s|/$||'
}
for deb in "$cli_deb" "$gtk_deb"; do
  echo "-- $(basename "$deb")"
  dpkg-deb -c "$deb" | sed 's/^/   /'
done
contents "$cli_deb" >"$TESTROOT/cli.files"
contents "$gtk_deb" >"$TESTROOT/gtk.files"
for path in usr/bin/ovalith "$private/ovalith" "$private/libovalith.so" \
  usr/share/man/man1/ovalith.1.gz usr/share/doc/ovalith/copyright \
  usr/share/doc/ovalith/changelog.gz usr/share/ovalith/ovalith.html; do
  grep -qx "$path" "$TESTROOT/cli.files" && pass "ovalith ships $path" ||
    fail "ovalith ships $path"
done
for path in usr/bin/ovalith-gtk "$private/ovalith-gtk" \
  usr/share/applications/ovalith.desktop usr/share/mime/packages/ovalith.xml \
  usr/share/kio/servicemenus/ovalith.desktop \
  usr/share/nautilus-python/extensions/ovalith.py \
  usr/share/icons/hicolor/16x16/apps/ovalith.png \
  usr/share/icons/hicolor/256x256/apps/ovalith.png \
  usr/share/icons/hicolor/scalable/apps/ovalith.svg \
  usr/share/man/man1/ovalith-gtk.1.gz usr/share/doc/ovalith-gtk/copyright \
  usr/share/doc/ovalith-gtk/changelog.gz; do
  grep -qx "$path" "$TESTROOT/gtk.files" && pass "ovalith-gtk ships $path" ||
    fail "ovalith-gtk ships $path"
done
expect "the terminal package does not depend on GTK" \
  "$(dpkg-deb -f "$cli_deb" Depends | grep -c gtk)" 0
dpkg-deb -f "$gtk_deb" Depends | grep -q "ovalith (= " &&
  dpkg-deb -f "$gtk_deb" Depends | grep -q libgtk-4-1 &&
  pass "ovalith-gtk depends on ovalith and GTK 4" ||
  fail "ovalith-gtk depends on ovalith and GTK 4" \
    "$(dpkg-deb -f "$gtk_deb" Depends)"

echo "== lintian"
lintian --pedantic --display-info "$cli_deb" "$gtk_deb" 2>&1 |
  grep -v "running with root privileges" | tee "$TESTROOT/lintian.log" |
  sed 's/^/   /'
grep -q '^E:' "$TESTROOT/lintian.log" &&
  fail "lintian: no errors" "$(grep -c '^E:' "$TESTROOT/lintian.log") errors" ||
  pass "lintian: no errors ($(grep -c '^[WIPX]:' "$TESTROOT/lintian.log") other tags)"

echo "== install"
for package in ovalith-gtk ovalith; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q installed; then
    echo "   $package is installed already: purging it first"
    "${apt[@]}" purge "$package" >/dev/null
  fi
done
# What of the packages' paths is there before, to tell what they leave.
cat "$TESTROOT/cli.files" "$TESTROOT/gtk.files" | sort -u | grep -v '^\.\?$' |
  while read -r path; do
    [ -e "/$path" ] || [ -L "/$path" ] && echo "/$path"
  done >"$TESTROOT/before"
"${apt[@]}" install "$cli_deb" "$gtk_deb" >"$TESTROOT/install.log" 2>&1 &&
  pass "apt installs both packages" ||
  { fail "apt installs both packages" "$(tail -5 "$TESTROOT/install.log")"; }

echo "== the terminal program from /usr/bin"
dir=$(mktemp -d "$TESTROOT/work.XXXXXX")
head -c 100000 /dev/urandom >"$dir/report.txt"
cp "$dir/report.txt" "$TESTROOT/original"
(cd "$dir" && /usr/bin/ovalith report.txt "/pw=pack aged" </dev/null 2>"$TESTROOT/stderr")
expect "/usr/bin/ovalith encrypts: status" "$?" 0
mkdir "$dir/build"
cp "$TESTROOT/original" "$dir/build/report.txt"
(cd "$dir/build" && "$BUILD/ovalith" report.txt "/pw=pack aged" </dev/null 2>/dev/null)
expect_same_file "its container is the build's" "$dir/report.ov2" \
  "$dir/build/report.ov2"
rm "$dir/report.txt"
(cd "$dir" && /usr/bin/ovalith report.ov2 "/pw=pack aged" </dev/null 2>"$TESTROOT/stderr")
expect "/usr/bin/ovalith decrypts: status" "$?" 0
expect_same_file "the file comes back" "$dir/report.txt" "$TESTROOT/original"
# Whole outputs first: grep -q leaving early would break the writer's pipe.
page=$(MANPAGER=cat MANWIDTH=80 man ovalith 2>&1)
grep -q "protect files with a password" <<<"$page" &&
  pass "man ovalith" || fail "man ovalith" "$page"
grep -q "/usr/share/ovalith/ovalith.html" <<<"$page" &&
  pass "man ovalith names the page" || fail "man ovalith names the page" "$page"
page=$(MANPAGER=cat MANWIDTH=80 man ovalith-gtk 2>&1)
grep -q "in a window" <<<"$page" &&
  pass "man ovalith-gtk" || fail "man ovalith-gtk" "$page"

echo "== the desktop"
desktop-file-validate /usr/share/applications/ovalith.desktop &&
  pass "desktop-file-validate ovalith.desktop" ||
  fail "desktop-file-validate ovalith.desktop"
dir=$(mktemp -d "$TESTROOT/work.XXXXXX")
cp "$TESTROOT/original" "$dir/notes.txt"
(cd "$dir" && /usr/bin/ovalith notes.txt /pw=desktop </dev/null 2>/dev/null)
rm "$dir/notes.txt"
expect "the container's type" \
  "$(gio info -a standard::content-type "$dir/notes.ov2" 2>/dev/null |
    awk '/standard::content-type/ {print $2}')" application/x-ovalith-container
expect "xdg-mime's type" "$(xdg-mime query filetype "$dir/notes.ov2" 2>/dev/null)" \
  application/x-ovalith-container
# Letter case counts, as for the program: PHOTO.OV2 is no container on Linux.
cp "$dir/notes.ov2" "$dir/PHOTO.OV2"
type=$(gio info -a standard::content-type "$dir/PHOTO.OV2" 2>/dev/null |
  awk '/standard::content-type/ {print $2}')
[ -n "$type" ] && [ "$type" != application/x-ovalith-container ] &&
  pass "PHOTO.OV2 is not a container ($type)" ||
  fail "PHOTO.OV2 is not a container" "$type"
rm "$dir/PHOTO.OV2"
# The application menu opens the file chooser; a file manager passes every
# selected file; Dolphin's item takes several and says what it does.
entry=/usr/share/applications/ovalith.desktop
expect "the desktop entry's command" "$(grep '^Exec=' "$entry")" \
  "Exec=ovalith-gtk --choose %F"
service=/usr/share/kio/servicemenus/ovalith.desktop
expect "Dolphin's item" "$(grep '^Name=' "$service")" \
  "Name=Encrypt or Decrypt with Ovalith"
expect "Dolphin's item takes a selection" \
  "$(grep -c '^Exec=ovalith-gtk -- %F$' "$service")$(grep -c MaxNumberOfUrls "$service")" 10
dpkg-deb -f "$gtk_deb" Description | grep -q "Encrypt or Decrypt with" &&
  pass "the package description names Dolphin's item as it is" ||
  fail "the package description names Dolphin's item as it is"
handler=$(gio mime application/x-ovalith-container 2>&1)
grep -q "^Default application.*: ovalith.desktop" <<<"$handler" &&
  pass "ovalith.desktop opens containers" ||
  fail "ovalith.desktop opens containers" "$handler"
# GNOME Files' menu item, through the real Nautilus bindings.
menu_test=$(/usr/bin/python3 tests/gtk/nautilus_menu_test.py \
  /usr/share/nautilus-python/extensions/ovalith.py 2>&1)
echo "$menu_test"
grep '^  ok ' <<<"$menu_test" | sed 's/.*/pass/' >>"$RESULTS"
grep '^  FAIL ' <<<"$menu_test" | sed 's/.*/fail/' >>"$RESULTS"
grep -qE '^  (ok|FAIL) ' <<<"$menu_test" || fail "the Nautilus menu test runs"

# Opened by the desktop's own launchers: the decrypt window comes up, and
# the password restores the file.
open_with() {  # launcher...
  local main deadline
  if main=$(wait_window '^Decrypt$'); then
    pass "$*: the decrypt window opens"
    focus "$main"
    type_text "desktop"
    keys Return
    deadline=$((SECONDS + 30))
    while [ ! -f "$dir/notes.txt" ] && [ "$SECONDS" -lt "$deadline" ]; do
      sleep 0.1
    done
    expect_same_file "$*: the file restored" "$dir/notes.txt" "$TESTROOT/original"
    wait_closed "$main" && pass "$*: the window closes" ||
      fail "$*: the window closes"
  else
    fail "$*: the decrypt window opens"
  fi
  rm -f "$dir/notes.txt"
}
if start_xvfb; then
  gio open "$dir/notes.ov2" 2>"$STDERR_FILE"
  expect "gio open returns at once: status" "$?" 0
  open_with gio open
  # xdg-open without a desktop environment waits for the program.
  (cd "$dir" && timeout 60 xdg-open notes.ov2 >/dev/null 2>"$STDERR_FILE") &
  xdg_pid=$!
  open_with xdg-open
  wait "$xdg_pid"
  expect "xdg-open: the program's status" "$?" 0
  stop_xvfb
else
  fail "Xvfb starts"
fi

echo "== purge"
"${apt[@]}" purge ovalith-gtk ovalith >"$TESTROOT/purge.log" 2>&1 &&
  pass "apt purges both packages" ||
  fail "apt purges both packages" "$(tail -5 "$TESTROOT/purge.log")"
left=$(cat "$TESTROOT/cli.files" "$TESTROOT/gtk.files" | sort -u |
  grep -v '^\.\?$' | while read -r path; do
    [ -e "/$path" ] || [ -L "/$path" ] && echo "/$path"
  done | grep -vxF -f "$TESTROOT/before")
expect "nothing of the packages left on disk" "$left" ""
expect "no trace in the MIME database" \
  "$(grep -rl ovalith /usr/share/mime 2>/dev/null)" ""
expect "no trace in the desktop database" \
  "$(grep -l ovalith /usr/share/applications/mimeinfo.cache 2>/dev/null)" ""
expect "dpkg forgets them" \
  "$(dpkg-query -W -f='${Status}\n' ovalith ovalith-gtk 2>/dev/null | grep -c installed)" 0

count_results
echo "$PASSED passed, $FAILED failed ($((SECONDS - started)) s)"
[ "$FAILED" -eq 0 ]
