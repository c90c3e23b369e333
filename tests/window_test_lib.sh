# window_test_lib.sh: what the tests that drive a program's windows under
# Xvfb share (tests/wine, tests/gtk): counting results, comparing, and
# finding the main window.  Each suite's lib.sh sources it and defines
# wait_window, screenshot and focus; STDERR_FILE names the file that holds
# what the program last wrote to standard error.

PASSED=0
FAILED=0

pass() {
  PASSED=$((PASSED + 1))
  echo "  ok   $1"
}

# On stderr, so that a failure inside $(...) or under >/dev/null is still
# seen, with what the last run of the program said.
fail() {
  FAILED=$((FAILED + 1))
  echo "  FAIL $1${2:+: $2}" >&2
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

# The main window (caption pattern) once it shows, saved when asked, and
# focused; prints its id.
main_window() {  # caption-pattern [screenshot-name]
  local main
  if ! main=$(wait_window "$1"); then
    fail "main window '$1'" "not shown"
    return 1
  fi
  [ -n "${2:-}" ] && screenshot "$main" "$2"
  focus "$main"
  echo "$main"
}
