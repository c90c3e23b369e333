# t70_stop.sh: closing the progress window, Escape in it, or Ctrl-C in the
# terminal that started the program stops a long run: the output being written leaves no temporary, an output it was to
# replace stays as it was, files of a set already done stay done and files
# not reached are not touched; status 2.

# Long enough on any machine: a sparse GiB through the slowest cipher path.
big=$((1024 * 1024 * 1024))

# Waits for the progress window and the output in the making in $dir, then
# stops the run with the progress window's close box, Escape or SIGINT.
stop_run() {  # close|escape|sigint screenshot-name
  local progress
  if ! progress=$(wait_window '^(Encrypting|Decrypting)\.\.\.$'); then
    fail "stop: the progress window" "not shown"
    return 1
  fi
  # Stopped in the middle: the output is being written.
  local deadline=$((SECONDS + 20))
  until ls -A "$dir" | grep -q ovalith-partial; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      fail "stop ($1): a run in progress" "no output being written"
      break
    fi
    sleep 0.05
  done
  sleep 0.5
  [ -n "$2" ] && screenshot "$progress" "$2"
  case $1 in
    close) "$CLOSE_WINDOW" "$progress" ;;
    escape) focus "$progress" && keys Escape ;;
    # Ctrl-C in the terminal that started it.
    sigint) kill -INT "$(xdotool getwindowpid "$progress")" ;;
  esac
  wait_closed "$progress" && pass "stop ($1): the progress window goes" ||
    fail "stop ($1): the progress window goes"
}

# The close box, replacing an existing container after Yes: the old one
# stays.
dir=$(new_dir)
truncate -s "$big" "$dir/big.img"
echo "old container" >"$dir/big.ov2"
OVALITH_DES_PATH=word64 RUN_TIMEOUT=120 start_gtk "$dir" big.img
if main_window '^Ovalith 2.0$' >/dev/null; then
  type_passwords "long run" "long run"
  answer_box "stop: the overwrite question" "" y
  stop_run close progress-stopping
fi
finish_gtk
expect "progress window closed: status" "$STATUS" 2
expect "progress window closed: the old container kept" "$(cat "$dir/big.ov2")" \
  "old container"
expect "progress window closed: no temporary left" \
  "$(ls -a "$dir" | grep -c ovalith-partial)" 0

# Escape in the progress window, nothing to replace: nothing written.
rm "$dir/big.ov2"
OVALITH_DES_PATH=word64 RUN_TIMEOUT=120 start_gtk "$dir" big.img
if main_window '^Ovalith 2.0$' >/dev/null; then
  type_passwords "long run" "long run"
  stop_run escape ""
fi
finish_gtk
expect "Escape in the progress window: status" "$STATUS" 2
expect "Escape in the progress window: nothing written" "$(ls -A "$dir")" big.img

# SIGINT, as Ctrl-C sends it: the same.
OVALITH_DES_PATH=word64 RUN_TIMEOUT=120 start_gtk "$dir" big.img
if main_window '^Ovalith 2.0$' >/dev/null; then
  type_passwords "long run" "long run"
  stop_run sigint ""
fi
finish_gtk
expect "SIGINT during the run: status" "$STATUS" 2
expect "SIGINT during the run: nothing written" "$(ls -A "$dir")" big.img

# A set: the file before the long one is done, the one after not touched,
# and the summary says so.
head -c 3000 /dev/urandom >"$dir/early.txt"
head -c 3000 /dev/urandom >"$dir/late.txt"
OVALITH_DES_PATH=word64 RUN_TIMEOUT=120 start_gtk "$dir" early.txt big.img late.txt
if main_window '^Ovalith 2.0$' >/dev/null; then
  type_passwords "long run" "long run"
  stop_run close progress-set-stopping
  answer_box "stopped set: the summary" summary-progress-closed Return
fi
finish_gtk
expect "stopped set: status" "$STATUS" 2
expect_same_file "stopped set: the file before it done" "$dir/early.ov2" \
  "$(terminal_encrypt "$dir/early.txt" "long run")"
expect "stopped set: the long one and the one after it not written" \
  "$(ls -A "$dir" | tr '\n' ' ')" "big.img early.ov2 early.txt late.txt "
rm -f "$dir/big.img"
