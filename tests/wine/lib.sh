# lib.sh: helpers for the tests under Wine, sourced by .ci/wine-tests.sh
# after it has made TESTROOT, WINEPREFIX, DISPLAY, LINUX_BUILD, ARTIFACTS
# and PACKAGE_DIR.  begin_suite chooses the program (32-bit or 64-bit) that
# the t*.sh files test.

# shellcheck source=../window_test_lib.sh
source "$ROOT/tests/window_test_lib.sh"

# The Windows path of a Linux path: Wine's drive Z: is the root.
winpath() {
  local path=$1
  echo "Z:${path//\//\\}"
}

# A fresh directory holding the program and its library.
make_app() {  # dir [with_dll]
  mkdir -p "$1"
  cp "$WIN_BUILD/ovalith.exe" "$1/"
  [ "${2:-yes}" = yes ] && cp "$WIN_BUILD/ovalith.dll" "$1/"
}

# A fresh, empty working directory for one test; prints its path.
new_dir() {
  local dir
  dir=$(mktemp -d "$TESTROOT/work.XXXXXX")
  echo "$dir"
}

# Chooses the program under test: WINE, WIN_BUILD, APP (a folder with
# the program and its library).
begin_suite() {  # 32|64
  case $1 in
    32) WINE=/usr/lib/wine/wine WIN_BUILD=$WIN32_BUILD_DIR ;;
    64) WINE=/usr/lib/wine/wine64 WIN_BUILD=$WIN64_BUILD_DIR ;;
    *) fail "suite '$1'" "no such program (32 or 64)"; return 1 ;;
  esac
  SUITE="$1-bit"
  export WINELOADER=$WINE
  APP=$TESTROOT/app$1
  make_app "$APP"
  echo "=== $SUITE program from $WIN_BUILD under $WINE"
  # Wine that cannot start a program can still end with status 0: look
  # for the program's own output.
  local output
  output=$(timeout 60 "$WINE" \
    "$(winpath "$WIN_BUILD/ovalith_win32_checks.exe")" 2>/dev/null)
  if ! grep -q ' passed, ' <<<"$output"; then
    fail "$SUITE: a program of this kind starts under Wine" \
      "the $SUITE suite cannot run"
    return 1
  fi
}

# Y: Wine leaves the frame to a window manager (none here), so a window's X
# window is its client area; N: Wine draws the frames itself, and windows
# close without the 2 s wait for a window manager.
set_managed() {  # Y|N
  timeout 30 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed \
    /d "$1" /f >/dev/null 2>&1
}

# The batch file hands the program exactly this command line, as Explorer
# or a console would; plain `wine prog args` would requote the arguments.
# cmd reads it in the console's (OEM) code page.
write_bat() {  # arguments [cd-dir] [app-dir]
  {
    [ -n "${2:-}" ] && printf '@cd /d "%s"\r\n' "$(winpath "$2")"
    printf '@"%s" %s\r\n' "$(winpath "${3:-$APP}")\\ovalith.exe" "$1"
    printf '@exit %%ERRORLEVEL%%\r\n'
  } | iconv -f UTF-8 -t CP437 >"$TESTROOT/run.bat"
}

# Runs the program to its end; sets STATUS, and STDERR_FILE holds what it
# wrote to standard error.
STDERR_FILE=$TESTROOT/stderr
run_ovalith() {  # arguments [cd-dir] [app-dir]
  write_bat "$@"
  timeout "${RUN_TIMEOUT:-30}" "$WINE" cmd /c "$(winpath "$TESTROOT/run.bat")" \
    >/dev/null 2>"$STDERR_FILE"
  STATUS=$?
}

# Starts the program in the background; finish_ovalith waits for it.
start_ovalith() {  # arguments [cd-dir] [app-dir]
  write_bat "$@"
  rm -f "$TESTROOT/status"
  (
    timeout "${RUN_TIMEOUT:-30}" "$WINE" cmd /c \
      "$(winpath "$TESTROOT/run.bat")" >/dev/null 2>"$STDERR_FILE"
    echo $? >"$TESTROOT/status"
  ) &
  RUN_PID=$!
}

finish_ovalith() {
  wait "$RUN_PID"
  STATUS=$(cat "$TESTROOT/status" 2>/dev/null || echo none)
  if [ "$STATUS" = 124 ]; then
    echo "  (the program was still running after ${RUN_TIMEOUT:-30} s and was stopped)" >&2
    close_leftovers
  fi
  return 0
}

# Stopping `wine cmd` leaves the program itself running; its windows would
# stand in the next test's way.  Ends the processes that own them.
close_leftovers() {
  local window pid
  for window in $(xdotool search --onlyvisible --name \
    '^(Ovalith|Ovalith 2\.0|Decrypt|Encrypting\.\.\.|Decrypting\.\.\.)$' 2>/dev/null); do
    pid=$(xdotool getwindowpid "$window" 2>/dev/null) && kill "$pid" 2>/dev/null
    wait_closed "$window"
  done
  return 0
}

# Every wait below has a bound, and a failure says what did not happen.

# Prints the id of the first visible window whose title matches the
# pattern, once one appears.
wait_window() {  # pattern [seconds]
  local id deadline=$((SECONDS + ${2:-20}))
  while :; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# Keys reach only the window that has the X input focus (there is no
# window manager; Wine gives it to the windows it activates), and Windows
# drops keys sent to a window that is still disabled, as the main window is
# until the program has dealt with a closed message box.  So before any key:
# the window takes the X focus, and the probe, from inside Windows, sees it
# shown, enabled and active with the keyboard focus in it.
focus() {  # window-id [seconds]
  local seconds=${2:-15} title missing
  title=$(xdotool getwindowname "$1" 2>/dev/null)
  x_focus "$1" "$seconds" || return 1
  if ! missing=$(timeout $((seconds + 15)) /usr/lib/wine/wine64 \
    "$(winpath "$WIN64_BUILD_DIR/ovalith_window_probe.exe")" "$title" \
    "$seconds" 2>&1); then
    fail "window '$title' ready for keys" "${missing:-the probe did not run}"
    return 1
  fi
  x_focus "$1" "$seconds"
}

x_focus() {  # window-id seconds
  local deadline=$((SECONDS + $2)) want
  want=$(printf '%d' "$1")
  while [ "$(xdotool getwindowfocus 2>/dev/null)" != "$want" ]; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      fail "window $1 takes the X focus" \
        "it stayed on $(xdotool getwindowfocus 2>/dev/null) for $2 s"
      return 1
    fi
    xdotool windowfocus "$1" 2>/dev/null
    sleep 0.05
  done
}

# Asks the probe about a window, from inside Windows: --text prints its
# labels (a message box's message), --layout checks its captions and the
# names of its boxes.
probe() {  # --text|--layout|--tip title | --where title text
  timeout 30 /usr/lib/wine/wine64 \
    "$(winpath "$WIN64_BUILD_DIR/ovalith_window_probe.exe")" "$@" \
    2>/dev/null | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# The message of the message box that is shown (waits for it).
box_text() {
  wait_window '^Ovalith$' >/dev/null || return 1
  probe --text Ovalith
}

# Types into the focused window.
type_text() {
  xdotool type --delay 40 -- "$1"
}

keys() {
  xdotool key --delay 60 "$@"
}

# Waits until a window is gone or hidden.
wait_closed() {  # window-id [seconds]
  local deadline=$((SECONDS + ${2:-10}))
  while xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# Encrypts a copy of a file with the Linux program; prints the container.
linux_encrypt() {  # file password
  local dir
  dir=$(new_dir)
  cp "$1" "$dir/"
  (cd "$dir" && "$LINUX_BUILD/ovalith" "$(basename "$1")" "/pw=$2" \
    </dev/null >/dev/null 2>&1)
  ls "$dir"/*ov2 2>/dev/null | head -1
}
