# t80_accessibility.sh: the windows as a screen reader reads them (AT-SPI),
# in a D-Bus session of its own with GTK's accessibility on: see
# accessibility_test.py.

dir=$(new_dir)
a11y=$(env -u GTK_A11Y dbus-run-session -- /usr/bin/python3 \
  tests/gtk/accessibility_test.py "$GTK_BUILD/ovalith-gtk" "$dir" 2>"$TESTROOT/a11y.err")
a11y_status=$?
# (The registry announces itself on standard output.)
a11y=$(grep -v '^SpiRegistry' <<<"$a11y")
echo "$a11y"
grep '^  ok ' <<<"$a11y" | sed 's/.*/pass/' >>"$RESULTS"
grep '^  FAIL ' <<<"$a11y" | sed 's/.*/fail/' >>"$RESULTS"
# A script that ended early without saying why fails here.
if [ "$a11y_status" -ne 0 ] && ! grep -q '^  FAIL ' <<<"$a11y"; then
  fail "the accessibility test runs to its end" "$(tail -5 "$TESTROOT/a11y.err")"
fi
