# p20_console_package.sh: ovalith-cli.exe as shipped.  Both zips hold the
# console program and it runs from them; the installer, silently in a prefix
# of its own, adds its folder to the user's PATH only when asked (/PATH),
# where ovalith-cli then runs by its name; the uninstaller takes that entry
# out again and leaves the user's own entries as they were.

SUITE=console-package
WINE=/usr/lib/wine/wine64
export WINELOADER=$WINE
version=$(sed -n 's/^project(ovalith VERSION \([0-9.]*\).*/\1/p' \
  "$ROOT/CMakeLists.txt")

for bits in 32 64; do
  folder=$TESTROOT/cli-zip$bits
  rm -rf "$folder"
  unzip -q -j "$PACKAGE_DIR/ovalith-$version-win$bits.zip" -d "$folder"
  headers=$(x86_64-w64-mingw32-objdump -p "$folder/ovalith-cli.exe" 2>&1)
  grep -q "Subsystem.*Windows CUI" <<<"$headers" &&
    pass "zip for $bits-bit Windows: ovalith-cli.exe is a console program" ||
    fail "zip for $bits-bit Windows: ovalith-cli.exe is a console program"
  dir=$(new_dir)
  echo "from the zip" >"$dir/zipped.txt"
  loader=/usr/lib/wine/wine
  [ "$bits" = 64 ] && loader=$WINE
  (cd "$dir" && timeout 60 "$loader" "$(winpath "$folder")\\ovalith-cli.exe" \
    zipped.txt /pw=secret </dev/null >"$TESTROOT/cli-stdout" 2>/dev/null)
  expect "zip for $bits-bit Windows: ovalith-cli.exe runs from it" "$?" 0
  expect_same_file "zip for $bits-bit Windows: ovalith-cli's container" \
    "$dir/zipped.ov2" "$(linux_encrypt "$dir/zipped.txt" secret)"
done

SUITE_PREFIX=$WINEPREFIX
export WINEPREFIX=$TESTROOT/prefix-console-package
timeout 180 "$WINE" wineboot -i >"$TESTROOT/wineboot-console.log" 2>&1
timeout 60 wineserver -w

user_path() {
  timeout 30 "$WINE" reg query 'HKCU\Environment' /v Path 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *Path *REG_[A-Z_]* *//p'
}
# (No empty entry: Wine's cmd stops its search of the PATH at one.)
own_path='C:\Tools;%USERPROFILE%\bin'
timeout 30 "$WINE" reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ \
  /d "$own_path" /f >/dev/null 2>&1
installed=$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v /Public |
  head -1)/AppData/Local/Programs/Ovalith
win_installed='C:\'${installed#"$WINEPREFIX/drive_c/"}
win_installed=${win_installed//\//\\}

setup=$PACKAGE_DIR/ovalith-$version-setup.exe
timeout 180 "$WINE" "$setup" /S >/dev/null 2>&1
expect "installer /S: ovalith-cli.exe installed" \
  "$(ls "$installed" | grep -c '^ovalith-cli.exe$')" 1
expect "installer /S: the PATH not touched" "$(user_path)" "$own_path"

timeout 180 "$WINE" "$setup" /S /PATH >/dev/null 2>&1
expect "installer /S /PATH: the folder added to the user's PATH" \
  "$(user_path)" "$own_path;$win_installed"
dir=$(new_dir)
echo "by name" >"$dir/byname.txt"
printf '@cd /d "%s"\r\n@ovalith-cli byname.txt /pw=secret\r\n@exit %%ERRORLEVEL%%\r\n' \
  "$(winpath "$dir")" >"$TESTROOT/byname.bat"
timeout 60 "$WINE" cmd /c "$(winpath "$TESTROOT/byname.bat")" \
  </dev/null >/dev/null 2>&1
expect "ovalith-cli runs by its name from the PATH: status" "$?" 0
[ -f "$dir/byname.ov2" ] && pass "ovalith-cli by its name: container written" ||
  fail "ovalith-cli by its name: container written"
timeout 180 "$WINE" "$setup" /S /PATH >/dev/null 2>&1
expect "installer /S /PATH again: the folder listed once" \
  "$(user_path)" "$own_path;$win_installed"

timeout 60 "$WINE" "$(winpath "$installed/uninstall.exe")" /S >/dev/null 2>&1
deadline=$((SECONDS + 60))
while [ -e "$installed" ] && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.2; done
[ ! -e "$installed" ] && pass "uninstaller removes the folder" ||
  fail "uninstaller removes the folder" "$(ls "$installed")"
expect "uninstaller: the user's PATH as it was" "$(user_path)" "$own_path"
timeout 30 wineserver -k
rm -rf "$WINEPREFIX"
export WINEPREFIX=$SUITE_PREFIX
