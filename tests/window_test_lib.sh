# window_test_lib.sh: what the tests that drive a program's windows under
# Xvfb share (tests/wine, tests/gtk): counting results, comparing, finding
# the main window, typing the passwords, answering message boxes.  Each
# suite's lib.sh sources it and defines wait_window, wait_closed, focus,
# type_text and keys; STDERR_FILE names the file that
# holds what the program last wrote to standard error.  TESTROOT must be set
# before it is sourced.

PASSED=0
FAILED=0
SUITE=""
# Each result is a line in this file, so that results found inside $(...)
# count too; count_results sets PASSED and FAILED from it.
RESULTS=$TESTROOT/results
: >"$RESULTS"

count_results() {
  PASSED=$(grep -c '^pass$' "$RESULTS")
  FAILED=$(grep -c '^fail$' "$RESULTS")
}

pass() {
  echo pass >>"$RESULTS"
  echo "  ok   $1"
}

# On stderr, so that a failure inside $(...) or under >/dev/null is still
# seen, with what the last run of the program said.
fail() {
  echo fail >>"$RESULTS"
  echo "  FAIL ${SUITE:+[$SUITE] }$1${2:+: $2}" >&2
  if [ -s "${STDERR_FILE:-}" ]; then
    sed 's/^/       stderr: /' "$STDERR_FILE" >&2
  fi
}

# expect NAME ACTUAL EXPECTED
expect() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "got '$2', expected '$3'"; fi
}

# expect_same_file NAME A B
expect_same_file() {
  if [ -f "$2" ] && [ -f "$3" ] && cmp -s "$2" "$3"; then
    pass "$1"
  else
    fail "$1" "$2 and $3 differ or are missing"
  fi
}

# Saves a picture of a window in ARTIFACTS.  Bounded: import waits for ever
# on a window that goes away while it grabs it, as a progress window does
# at the end of its run.
screenshot() {  # window-id name
  timeout 10 import -window "$1" "$ARTIFACTS/$2.png" 2>/dev/null ||
    echo "       (no screenshot $2: the window went away)" >&2
}

# The main window (caption pattern) once it shows, saved when asked, and
# focused; prints its id.
main_window() {  # caption-pattern [screenshot-name]
  local main
  if ! main=$(wait_window "$1"); then
    fail "main window '$1'" "not shown"
    return 1
  fi
  [ -n "${2:-}" ] && screenshot "$main" "$2"
  focus "$main" || return 1
  echo "$main"
}

# Types both passwords and presses Enter.
type_passwords() {  # first second
  type_text "$1"
  keys Tab
  type_text "$2"
  keys Return
}

# Expects a message box, saves it when asked, answers it with the keys.
# (Its text cannot be read back from the X side; the screenshots show it.)
answer_box() {  # test-name screenshot-name keys...
  local name=$1 shot=$2 box
  shift 2
  if ! box=$(wait_window '^Ovalith$'); then
    fail "$name" "no message box within 20 s"
    return 1
  fi
  pass "$name"
  [ -n "$shot" ] && screenshot "$box" "$shot"
  focus "$box" || return 1
  keys "$@"
  wait_closed "$box" || fail "$name: answered" "the box stayed open after $*"
}
