# lib.sh: helpers for the tests of ovalith-gtk under Xvfb, sourced by
# .ci/gtk-tests.sh and .ci/package-tests.sh after they have set TESTROOT
# and, for the programs of a build, GTK_BUILD (holding ovalith-gtk, ovalith
# and libovalith.so), CLOSE_WINDOW and ARTIFACTS.
# Every wait has a bound and says what it waited for.

# shellcheck source=../window_test_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../window_test_lib.sh"
STDERR_FILE=$TESTROOT/stderr

# Starts Xvfb on a display no one else uses, sets DISPLAY and the
# environment GTK runs under in the tests; stop_xvfb ends it.
start_xvfb() {
  local display
  for display in $(seq 141 190); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
  done
  # -noreset: by default the server resets whenever its last client leaves,
  # as it does between two runs of a test, and refuses the next program
  # that connects during the reset.
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset \
    >"$TESTROOT/xvfb.log" 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$display"
  local deadline=$((SECONDS + 20))
  until xdpyinfo >/dev/null 2>&1; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      cat "$TESTROOT/xvfb.log" >&2
      echo "Xvfb did not start on $DISPLAY" >&2
      return 1
    fi
    sleep 0.1
  done
  # X11 (no Wayland here anyway), GTK's software renderer so that the tests
  # do not depend on Mesa, no accessibility bus (none runs here), and the
  # file chooser's settings kept in memory (no dconf without a bus).
  export GDK_BACKEND=x11 GSK_RENDERER=cairo GTK_A11Y=none GSETTINGS_BACKEND=memory
  unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
}

new_dir() {
  mktemp -d "$TESTROOT/work.XXXXXX"
}

# Starts the program in dir with the arguments; finish_gtk waits for it.
start_gtk() {  # dir arguments...
  local dir=$1
  shift
  rm -f "$TESTROOT/status"
  (
    cd "$dir" &&
      timeout "${RUN_TIMEOUT:-60}" "$GTK_BUILD/ovalith-gtk" "$@" \
        >/dev/null 2>"$STDERR_FILE"
    echo $? >"$TESTROOT/status"
  ) &
  RUN_PID=$!
}

# Sets STATUS; 124 means the program was still running after its bound.
finish_gtk() {
  wait "$RUN_PID"
  STATUS=$(cat "$TESTROOT/status" 2>/dev/null || echo none)
  [ "$STATUS" = 124 ] && echo "       (ovalith-gtk timed out and was ended)" >&2
  return 0
}

# Prints the id of the first viewable window whose title matches, once
# one is there.
wait_window() {  # pattern [seconds]
  local id deadline=$((SECONDS + ${2:-20}))
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

viewable() {  # window-id
  xwininfo -id "$1" 2>/dev/null | grep -q IsViewable
}

wait_closed() {  # window-id [seconds]
  local deadline=$((SECONDS + ${2:-20}))
  while [ "$SECONDS" -lt "$deadline" ]; do
    viewable "$1" || return 0
    sleep 0.05
  done
  return 1
}

# Without a window manager keys reach only the window focused this way.
focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null
}

type_text() {
  xdotool type --delay 30 -- "$1"
}

keys() {
  xdotool key --delay 30 "$@"
}

# After a refused run: the box and the progress window are gone (hidden
# after the main window took input again), and the main window has the
# keyboard.
back_to_main() {  # main-window-id
  local deadline=$((SECONDS + 20))
  while [ "$SECONDS" -lt "$deadline" ]; do
    if ! xdotool search --onlyvisible --name '^(Ovalith|Encrypting\.\.\.|Decrypting\.\.\.)$' \
      >/dev/null 2>&1; then
      focus "$1"
      return 0
    fi
    sleep 0.05
  done
  fail "back to the main window" "a box or the progress window stays"
  return 1
}

# Client size of a window and whether its minimum and maximum sizes are
# that size; checks both against a client area in twips.
check_layout() {  # name window-id width-twips height-twips
  local size w h hints
  size=$(xwininfo -id "$2" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
  read -r w h <<<"$size"
  # Each side rounds on its own: allow a unit on either.
  if [ "$((w * $4 - h * $3))" -le "$(($3 + $4))" ] &&
    [ "$((h * $3 - w * $4))" -le "$(($3 + $4))" ] &&
    [ "$((w * 15))" -ge "$3" ]; then
    pass "$1: ${w}x$h has the proportions of $3 x $4 twips"
  else
    fail "$1: proportions" "${w}x$h for $3 x $4 twips"
  fi
  hints=$(xprop -id "$2" WM_NORMAL_HINTS)
  if grep -q "minimum size: $w by $h" <<<"$hints" &&
    grep -q "maximum size: $w by $h" <<<"$hints"; then
    pass "$1: fixed size"
  else
    fail "$1: fixed size" "$hints"
  fi
}

# Encrypts a copy of a file with the terminal program; prints the container.
terminal_encrypt() {  # file password
  local dir
  dir=$(new_dir)
  cp "$1" "$dir/"
  (cd "$dir" && "$GTK_BUILD/ovalith" "$(basename "$1")" "/pw=$2" \
    </dev/null >/dev/null 2>&1)
  ls "$dir"/*ov2 2>/dev/null | head -1
}
