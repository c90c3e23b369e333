# t40_progress.sh: the progress window of a long run: its caption, a bar
# that moves, and a main window that paints but takes no input (Enter,
# Escape and its close box change nothing; no second run starts).  Closing
# the progress window itself stops the run: t70_stop.sh.

# Long enough on any machine: a sparse GiB through the slowest cipher path.
dir=$(new_dir)
size=$((1024 * 1024 * 1024))
truncate -s "$size" "$dir/big.img"
OVALITH_DES_PATH=word64 RUN_TIMEOUT=120 start_gtk "$dir" big.img
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "long run" "long run"
  if progress=$(wait_window '^Encrypting\.\.\.$'); then
    pass "progress window 'Encrypting...' shown"
    screenshot "$progress" progress-1
    check_layout "progress window" "$progress" 3120 720
    focus "$main"
    keys Return Escape
    "$CLOSE_WINDOW" "$main"
    sleep 0.5
    screenshot "$progress" progress-2
    if [ -f "$ARTIFACTS/progress-1.png" ] && [ -f "$ARTIFACTS/progress-2.png" ]; then
      moved=$(compare -metric AE "$ARTIFACTS/progress-1.png" \
        "$ARTIFACTS/progress-2.png" null: 2>&1)
      if [ "${moved%% *}" != 0 ]; then
        pass "the bar moves ($moved pixels changed in 0.5 s)"
      else
        fail "the bar moves" "the two pictures are the same"
      fi
    else
      fail "the bar moves" "the run ended before the second picture"
    fi
  else
    fail "progress window 'Encrypting...' shown"
  fi
fi
finish_gtk
expect "keys and close requests during the run ignored: status" "$STATUS" 0
expect "the container's size" "$(stat -c %s "$dir/big.ov2" 2>/dev/null)" \
  $(((size / 8 + 2) * 8))
rm -f "$dir/big.img" "$dir/big.ov2"
