# t30_layout.sh: the main window at 96, 120 and 144 DPI, with Wine's own
# dialog font (its Tahoma, which Debian's Wine finds only in the prefix's
# Fonts folder) and without it (then fontconfig's stand-in, DejaVu Sans):
# every caption fits its control, the window keeps at least its drawn size
# in twips, and each password box is named by the label before it.  The
# client area is measured on the X window that Wine's managed mode makes of
# it alone.

WINE_FONTS=/usr/share/wine/fonts
PREFIX_FONTS=$WINEPREFIX/drive_c/windows/Fonts

measure_main() {  # dpi font-name
  local dir main size width height report
  timeout 30 "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  dir=$(new_dir)
  echo "layout" >"$dir/layout.txt"
  start_ovalith "$(winpath "$dir/layout.txt")"
  if main=$(wait_window '^Ovalith 2.0$'); then
    focus "$main" >/dev/null
    size=$(xwininfo -id "$main" |
      awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
    width=${size%x*} height=${size#*x}
    [ "$width" -ge $(((3330 * $1) / 1440)) ] &&
      [ "$height" -ge $(((1770 * $1) / 1440)) ] &&
      [ $((width * 1770 / height)) -ge 3300 ] &&
      [ $((width * 1770 / height)) -le 3360 ] &&
      pass "main window at $1 DPI, $2: drawn size or grown as a whole ($size)" ||
      fail "main window at $1 DPI, $2: drawn size or grown as a whole" "$size"
    if report=$(probe --layout 'Ovalith 2.0'); then
      pass "main window at $1 DPI, $2: every caption fits ($(head -1 <<<"$report"))"
    else
      fail "main window at $1 DPI, $2: every caption fits" "$report"
    fi
    expect "main window at $1 DPI, $2: boxes named by their labels" \
      "$(grep '^box named' <<<"$report" | tr '\n' '|')" \
      "box named: Enter password :|box named: Enter password again :|"
    screenshot "$main" "main-$1dpi-$2"
    keys Escape
  else
    fail "main window at $1 DPI, $2" "not shown"
  fi
  finish_ovalith
  expect "Escape at $1 DPI: status" "$STATUS" 2
}

set_managed Y
if cp "$WINE_FONTS"/tahoma.ttf "$WINE_FONTS"/tahomabd.ttf "$PREFIX_FONTS/"; then
  timeout 30 wineserver -k
  for dpi in 96 120 144; do
    measure_main "$dpi" wine-fonts
  done
else
  fail "Wine's own fonts" "none in $WINE_FONTS (Debian package fonts-wine)"
fi
rm -f "$PREFIX_FONTS"/tahoma.ttf "$PREFIX_FONTS"/tahomabd.ttf
timeout 30 wineserver -k
for dpi in 96 120 144; do
  measure_main "$dpi" other-fonts
done
timeout 30 "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
  /t REG_DWORD /d 96 /f >/dev/null 2>&1
set_managed N
