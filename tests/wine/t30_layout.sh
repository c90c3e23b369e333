# t30_layout.sh: the main window's client area is 3330 x 1770 twips at the
# system DPI, measured on the X window that Wine's managed mode makes of the
# client area alone.

measure_main() {  # dpi
  local dir main size expected
  expected="$(((3330 * $1 + 720) / 1440))x$(((1770 * $1 + 720) / 1440))"
  timeout 30 "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  dir=$(new_dir)
  echo "layout" >"$dir/layout.txt"
  start_ovalith "$(winpath "$dir/layout.txt")"
  if main=$(wait_window '^Ovalith 2.0$'); then
    size=$(xwininfo -id "$main" |
      awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
    expect "main window client area at $1 DPI" "$size" "$expected"
    screenshot "$main" "main-client-$1dpi"
    focus "$main"
    keys Escape
  else
    fail "main window at $1 DPI" "not shown"
  fi
  finish_ovalith
  expect "Escape at $1 DPI: status" "$STATUS" 2
}

set_managed Y
measure_main 96
measure_main 144
timeout 30 "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
  /t REG_DWORD /d 96 /f >/dev/null 2>&1
set_managed N
