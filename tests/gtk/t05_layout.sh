# t05_layout.sh: the windows are laid out from their twips at one scale and
# keep their size: the client area has the proportions of its twips, and
# the size hints forbid resizing.

dir=$(new_dir)
echo "layout" >"$dir/layout.txt"
start_gtk "$dir" layout.txt
if main=$(main_window '^Ovalith 2.0$'); then
  check_layout "main window" "$main" 3330 1770
  keys Escape
fi
finish_gtk
expect "layout: Escape: status" "$STATUS" 2

# A long name is elided in the middle: its extension stays in sight (see
# main-long-name.png).
long="quarterly-report-of-the-regional-office-final-revised-v2.txt"
echo "long" >"$dir/$long"
start_gtk "$dir" "$long"
if main_window '^Ovalith 2.0$' main-long-name >/dev/null; then
  keys Escape
fi
finish_gtk
expect "long name: Escape: status" "$STATUS" 2
