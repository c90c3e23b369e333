# t80_accessibility.sh: the windows as a screen reader reads them (AT-SPI),
# in a D-Bus session of its own with GTK's accessibility on: see
# accessibility_test.py.

dir=$(new_dir)
a11y=$(env -u GTK_A11Y dbus-run-session -- /usr/bin/python3 \
  tests/gtk/accessibility_test.py "$GTK_BUILD/ovalith-gtk" "$dir" 2>"$TESTROOT/a11y.err")
# (The registry announces itself on standard output.)
a11y=$(grep -v '^SpiRegistry' <<<"$a11y")
echo "$a11y"
grep '^  ok ' <<<"$a11y" | sed 's/.*/pass/' >>"$RESULTS"
grep '^  FAIL ' <<<"$a11y" | sed 's/.*/fail/' >>"$RESULTS"
grep -qE '^  (ok|FAIL) ' <<<"$a11y" ||
  fail "the accessibility test runs" "$(tail -5 "$TESTROOT/a11y.err")"
