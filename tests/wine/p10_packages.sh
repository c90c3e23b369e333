# p10_packages.sh: what a Windows user downloads.  The portable zips hold
# the right files and run; the installer, silently in a fresh 64-bit
# prefix, installs the 64-bit program for this user, "Send To" and the .ov2
# association work, and the uninstaller leaves nothing behind; in a 32-bit
# prefix it installs the 32-bit program.

SUITE=packages
WINE=/usr/lib/wine/wine64
export WINELOADER=$WINE
version=$(sed -n 's/^project(ovalith VERSION \([0-9.]*\).*/\1/p' \
  "$ROOT/CMakeLists.txt")
PW="Open Sesame"

# The PE format of a file: pei-i386 or pei-x86-64.
pe_format() {
  x86_64-w64-mingw32-objdump -f "$1" 2>/dev/null |
    sed -n 's/.*file format \(pei-[a-z0-9-]*\).*/\1/p'
}

for bits in 32 64; do
  zip=$PACKAGE_DIR/ovalith-$version-win$bits.zip
  unpacked=$TESTROOT/zip$bits
  rm -rf "$unpacked"
  if ! unzip -q "$zip" -d "$unpacked"; then
    fail "zip for $bits-bit Windows" "$zip cannot be unpacked"
    continue
  fi
  folder=$unpacked/ovalith-$version-win$bits
  expect "zip for $bits-bit Windows: files" "$(ls "$folder" | tr '\n' ' ')" \
    "LICENSE.txt README.txt THIRD-PARTY-NOTICES.txt ovalith-cli.exe ovalith.dll ovalith.exe ovalith.html "
  format=pei-i386
  [ "$bits" = 64 ] && format=pei-x86-64
  expect "zip for $bits-bit Windows: $bits-bit program and library" \
    "$(pe_format "$folder/ovalith.exe") $(pe_format "$folder/ovalith.dll")" \
    "$format $format"
  grep -q $'Permission is hereby granted.*\r$' "$folder/LICENSE.txt" &&
    pass "zip for $bits-bit Windows: licence with Windows line ends" ||
    fail "zip for $bits-bit Windows: licence with Windows line ends"
  dir=$(new_dir)
  head -c 5000 /dev/urandom >"$dir/portable.bin"
  run_ovalith "$(winpath "$dir/portable.bin") /pw=$PW" "" "$folder"
  expect "zip for $bits-bit Windows: the program runs from it" "$STATUS" 0
  expect_same_file "zip for $bits-bit Windows: container as the Linux program's" \
    "$dir/portable.ov2" "$(linux_encrypt "$dir/portable.bin" "$PW")"
done

# --- The installer, in a prefix of its own --------------------------------
SUITE_PREFIX=$WINEPREFIX
export WINEPREFIX=$TESTROOT/prefix-packages
timeout 180 "$WINE" wineboot -i >"$TESTROOT/wineboot-packages.log" 2>&1
timeout 60 wineserver -w
timeout 30 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N \
  /f >/dev/null 2>&1
user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v /Public | head -1)
installed=$user_dir/AppData/Local/Programs/Ovalith
send_to=$user_dir/AppData/Roaming/Microsoft/Windows/SendTo/Ovalith.lnk
start_menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Ovalith.lnk"
# The same paths as Windows names them (a shortcut is started by its C:
# path, as Explorer does).
c_path() {  # path-inside-drive_c
  local path='C:\'${1#"$WINEPREFIX/drive_c/"}
  echo "${path//\//\\}"
}
win_installed=$(c_path "$installed")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ovalith'
(cd "$WINEPREFIX" && find drive_c/users | sort) >"$TESTROOT/files-before"

# The value of a registry entry (the default value without a name).
reg_value() {  # key [name]
  local args=(/ve)
  [ -n "${2:-}" ] && args=(/v "$2")
  timeout 30 "$WINE" reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *[^ ].* *REG_[A-Z_]* *//p' | head -1
}

# Waits until a command succeeds; false after the bound.
wait_until() {  # seconds command...
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

setup=$PACKAGE_DIR/ovalith-$version-setup.exe
timeout 180 /usr/lib/wine/wine "$setup" /S >/dev/null 2>&1
expect "installer /S: status" "$?" 0
expect "installed files" "$(ls "$installed" 2>/dev/null | tr '\n' ' ')" \
  "LICENSE.txt README.txt THIRD-PARTY-NOTICES.txt ovalith-cli.exe ovalith.dll ovalith.exe uninstall.exe "
expect "the 64-bit program on 64-bit Windows" \
  "$(pe_format "$installed/ovalith.exe") $(pe_format "$installed/ovalith.dll")" \
  "pei-x86-64 pei-x86-64"
cmp -s "$installed/ovalith.exe" "$WIN64_BUILD_DIR/ovalith.exe" &&
  pass "installed program is the 64-bit build" ||
  fail "installed program is the 64-bit build"
[ -f "$send_to" ] && pass "Send To shortcut" || fail "Send To shortcut" \
  "no $send_to"
expect "association: .ov2" "$(reg_value 'HKCU\Software\Classes\.ov2')" \
  "Ovalith.Container"
expect "association: open command" \
  "$(reg_value 'HKCU\Software\Classes\Ovalith.Container\shell\open\command')" \
  "\"$win_installed\\ovalith.exe\" \"%1\""
expect "uninstall entry: name" "$(reg_value "$uninstall_key" DisplayName)" \
  "Ovalith"
expect "uninstall entry: command" \
  "$(reg_value "$uninstall_key" UninstallString)" \
  "\"$win_installed\\uninstall.exe\""

# The Start-menu entry opens the file chooser.
if [ -f "$start_menu" ]; then
  pass "Start-menu entry"
  timeout 60 "$WINE" start "$(c_path "$start_menu")" >/dev/null 2>&1
  if chooser=$(wait_window '^Ovalith: choose files$' 30); then
    pass "Start-menu entry opens the file chooser"
    focus "$chooser" && keys Escape
    wait_closed "$chooser" 30 || fail "file chooser closes on Escape"
  else
    fail "Start-menu entry opens the file chooser" "not shown within 30 s"
  fi
else
  fail "Start-menu entry" "no $start_menu"
fi

# Send To: Explorer starts the shortcut with the file's path.
dir=$(new_dir)
mkdir -p "$dir/two words"
head -c 3000 /dev/urandom >"$dir/two words/sent.txt"
timeout 60 "$WINE" start "$(c_path "$send_to")" \
  "$(winpath "$dir/two words/sent.txt")" >/dev/null 2>&1
if main=$(wait_window '^Ovalith 2.0$' 30); then
  pass "Send To opens the encrypt window"
  focus "$main" && type_passwords "$PW" "$PW"
  wait_closed "$main" 30 || fail "Send To: window closes after the run"
else
  fail "Send To opens the encrypt window" "not shown within 30 s"
fi
expect_same_file "Send To: container as the Linux program's" \
  "$dir/two words/sent.ov2" "$(linux_encrypt "$dir/two words/sent.txt" "$PW")"

# A double-click: Explorer looks the association up in this user's classes,
# which it merges into HKEY_CLASSES_ROOT.  Wine's HKEY_CLASSES_ROOT holds
# only the machine's classes, so the test merges the installer's keys the
# same way, lets ShellExecute (`start`) open the container, and removes the
# copy again.
cp "$dir/two words/sent.txt" "$TESTROOT/sent-original"
rm "$dir/two words/sent.txt"
for key in '.ov2' 'Ovalith.Container'; do
  timeout 30 "$WINE" reg export "HKCU\\Software\\Classes\\$key" \
    "$(winpath "$TESTROOT/classes.reg")" /y >/dev/null 2>&1
  {
    printf '\xff\xfe'
    iconv -f UTF-16 -t UTF-8 "$TESTROOT/classes.reg" |
      sed 's/^\[HKEY_CURRENT_USER\\/[HKEY_LOCAL_MACHINE\\/' |
      iconv -f UTF-8 -t UTF-16LE
  } >"$TESTROOT/machine-classes.reg"
  timeout 30 "$WINE" reg import "$(winpath "$TESTROOT/machine-classes.reg")" \
    >/dev/null 2>&1
done
timeout 60 "$WINE" start "$(winpath "$dir/two words/sent.ov2")" >/dev/null 2>&1
if main=$(wait_window '^Decrypt$' 30); then
  pass "double-click on a container opens the decrypt window"
  focus "$main" && type_text "$PW" && keys Return
  wait_closed "$main" 30 || fail "double-click: window closes after the run"
else
  fail "double-click on a container opens the decrypt window" \
    "not shown within 30 s"
fi
expect_same_file "double-click: file restored" "$dir/two words/sent.txt" \
  "$TESTROOT/sent-original"
for key in '.ov2' 'Ovalith.Container'; do
  timeout 30 "$WINE" reg delete "HKLM\\Software\\Classes\\$key" /f \
    >/dev/null 2>&1
done

# The uninstaller hands over to a copy of itself and returns at once: wait
# for what it removes.
timeout 60 "$WINE" "$(winpath "$installed/uninstall.exe")" /S >/dev/null 2>&1
wait_until 60 test ! -e "$installed" &&
  pass "uninstaller removes the program's folder" ||
  fail "uninstaller removes the program's folder" "$(ls "$installed")"
wait_until 20 test ! -e "$send_to" &&
  pass "uninstaller removes Send To" || fail "uninstaller removes Send To"
wait_until 20 test ! -e "$start_menu" &&
  pass "uninstaller removes the Start-menu entry" ||
  fail "uninstaller removes the Start-menu entry"
for key in 'HKCU\Software\Classes\.ov2' 'HKCU\Software\Classes\Ovalith.Container' \
  "$uninstall_key"; do
  timeout 30 "$WINE" reg query "$key" >/dev/null 2>&1 &&
    fail "uninstaller removes $key" || pass "uninstaller removes $key"
done
timeout 30 wineserver -k
# The handed-over copy of the uninstaller lies in Temp\~nsu*.tmp until the
# next start of Windows removes it; it is not the program's.
expect "nothing else left in the user's folders" \
  "$(cd "$WINEPREFIX" && find drive_c/users | sort |
    grep -v '/Temp/~nsu[^/]*\.tmp' | comm -13 "$TESTROOT/files-before" -)" ""
expect "no registry entry names Ovalith" \
  "$(cat "$WINEPREFIX"/*.reg | grep -ci ovalith)" 0

# A folder the user chose that holds files of its own, one of them named as
# one of the installer's: refused, nothing touched, nothing registered.
mine=$user_dir/Mine
mkdir -p "$mine"
echo "the user's own" >"$mine/ovalith.exe"
echo "notes" >"$mine/notes.txt"
timeout 180 /usr/lib/wine/wine "$setup" /S "/D=$(c_path "$mine")" \
  >/dev/null 2>&1
expect "installer into a folder with the user's files: refused (status)" "$?" 2
expect "refused install: the user's files untouched" \
  "$(ls "$mine" | tr '\n' ' ')$(cat "$mine/ovalith.exe")" \
  "notes.txt ovalith.exe the user's own"
timeout 30 "$WINE" reg query "$uninstall_key" >/dev/null 2>&1 &&
  fail "refused install: nothing registered"
# Into a new folder it installs; the uninstaller then leaves a file the
# user put there, and the folder holding it.
fresh=$user_dir/Fresh
timeout 180 /usr/lib/wine/wine "$setup" /S "/D=$(c_path "$fresh")" \
  >/dev/null 2>&1
expect "installer into a new folder: status" "$?" 0
timeout 180 /usr/lib/wine/wine "$setup" /S "/D=$(c_path "$fresh")" \
  >/dev/null 2>&1
expect "installer again over its own installation: status" "$?" 0
echo "kept" >"$fresh/my-own.txt"
timeout 60 "$WINE" "$(winpath "$fresh/uninstall.exe")" /S >/dev/null 2>&1
wait_until 60 test ! -e "$fresh/ovalith.exe" -a ! -e "$fresh/uninstall.exe"
expect "uninstaller removes only its own files" \
  "$(ls "$fresh" 2>/dev/null | tr '\n' ' ')" "my-own.txt "
timeout 30 wineserver -k
rm -rf "$WINEPREFIX"

# On 32-bit Windows the same installer puts the 32-bit program in place.
export WINEPREFIX=$TESTROOT/prefix-packages32 WINELOADER=/usr/lib/wine/wine
WINEARCH=win32 timeout 180 /usr/lib/wine/wine wineboot -i \
  >"$TESTROOT/wineboot-packages32.log" 2>&1
timeout 60 wineserver -w
timeout 180 /usr/lib/wine/wine "$setup" /S >/dev/null 2>&1
expect "32-bit Windows: installer /S: status" "$?" 0
installed=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/Ovalith)
expect "32-bit Windows: the 32-bit program" \
  "$(pe_format "$installed/ovalith.exe") $(pe_format "$installed/ovalith.dll")" \
  "pei-i386 pei-i386"
dir=$(new_dir)
echo "installed on 32-bit Windows" >"$dir/on32.txt"
WINE=$WINELOADER run_ovalith "$(winpath "$dir/on32.txt") /pw=$PW" "" \
  "$installed"
expect "32-bit Windows: the installed program runs" "$STATUS" 0
timeout 60 /usr/lib/wine/wine "$(winpath "$installed/uninstall.exe")" /S \
  >/dev/null 2>&1
wait_until 60 test ! -e "$installed" &&
  pass "32-bit Windows: uninstaller removes the program's folder" ||
  fail "32-bit Windows: uninstaller removes the program's folder"
timeout 30 wineserver -k
rm -rf "$WINEPREFIX"
export WINEPREFIX=$SUITE_PREFIX WINELOADER=$WINE
