# t10_checks.sh: the Win32-only pieces checked inside Windows: command line
# splitting, plain names, code page conversions.
checks_output=$(timeout 60 "$WINE" "$WIN_BUILD/ovalith_win32_checks.exe" 2>&1)
checks_status=$?
grep FAIL <<<"$checks_output" | sed 's/^/    /'
expect "win32 checks: $(tail -1 <<<"$checks_output")" "$checks_status" 0
