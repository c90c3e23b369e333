# lib.sh: helpers for the tests under Wine, sourced by .ci/wine-tests.sh
# after it has made TESTROOT, WINEPREFIX, DISPLAY, WINE, WIN_BUILD,
# LINUX_BUILD and ARTIFACTS.

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

APP=$TESTROOT/app
make_app "$APP"

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
}

# Prints the id of the first window whose title matches the pattern, once
# one appears.
wait_window() {  # pattern [seconds]
  local id tries=$((${2:-20} * 10))
  for _ in $(seq "$tries"); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      sleep 0.3  # let it paint
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Without a window manager keys reach only a window focused this way.
focus() {
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
}

# Types into the focused window.
type_text() {
  xdotool type --delay 40 -- "$1"
}

keys() {
  xdotool key --delay 60 "$@"
}

screenshot() {  # window-id name
  import -window "$1" "$ARTIFACTS/$2.png" 2>/dev/null
}

# Waits until a window is gone or hidden.
wait_closed() {  # window-id
  for _ in $(seq 100); do
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0
    sleep 0.1
  done
  return 1
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
