# t10_checks.sh: the Win32-only pieces checked inside Windows: command line
# splitting, plain names, code page conversions.
checks_output=$(timeout 60 "$WINE" "$WIN_BUILD/ovalith_win32_checks.exe" 2>&1)
checks_status=$?
grep FAIL <<<"$checks_output" | sed 's/^/    /'
expect "win32 checks: $(tail -1 <<<"$checks_output")" "$checks_status" 0

# Both files say they need Windows 7 (6.1), as they do.
for pe in ovalith.exe ovalith.dll; do
  versions=$(x86_64-w64-mingw32-objdump -p "$WIN_BUILD/$pe" | awk '
    /^(Major|Minor)(OSystem|Subsystem)Version/ {printf "%s=%s ", $1, $2}')
  expect "$pe declares Windows 7" "$versions" \
    "MajorOSystemVersion=6 MinorOSystemVersion=1 MajorSubsystemVersion=6 MinorSubsystemVersion=1 "
done
