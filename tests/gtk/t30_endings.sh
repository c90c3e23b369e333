# t30_endings.sh: the ways the program ends without a run (Escape, the
# close box), the usage message, and the command line's "/pw=".

dir=$(new_dir)
echo "close" >"$dir/close.txt"

start_gtk "$dir" close.txt
main_window '^Ovalith 2.0$' >/dev/null && keys Escape
finish_gtk
expect "Escape: status" "$STATUS" 2

# The close box, as a window manager asks for it.
start_gtk "$dir" close.txt
if main=$(main_window '^Ovalith 2.0$'); then
  "$CLOSE_WINDOW" "$main"
fi
finish_gtk
expect "close box: status" "$STATUS" 2
expect "Escape and the close box write nothing" "$(ls "$dir")" "close.txt"

# A file that is not there: the usage message in a box, status 1.
start_gtk "$dir" no-such-file.txt
answer_box "missing file: usage message" message-usage Return
finish_gtk
expect "missing file: status" "$STATUS" 1
grep -q "no-such-file.txt" "$STDERR_FILE" &&
  pass "missing file: the cause on standard error" ||
  fail "missing file: the cause on standard error"

# No arguments at all: the same.
start_gtk "$dir"
answer_box "no arguments: usage message" "" Escape
finish_gtk
expect "no arguments: status" "$STATUS" 1

# "/pw=" runs at once and shows no window; the command line is the terminal
# program's (separate arguments joined by spaces).
dir=$(new_dir)
head -c 3000 /dev/urandom >"$dir/notes.txt"
start_gtk "$dir" notes.txt /pw=secret phrase
finish_gtk
expect "unattended run: status" "$STATUS" 0
expect_same_file "unattended run: container as the terminal program's" \
  "$dir/notes.ov2" "$(terminal_encrypt "$dir/notes.txt" "secret phrase")"

# A refused "/pw=" run: the message, then the window with the password
# boxes emptied for a new try; Enter refuses again.
dir=$(new_dir)
echo "refused" >"$dir/refused.txt"
start_gtk "$dir" refused.txt /pw=abc
answer_box "short password from the command line: message" "" Return
if main_window '^Ovalith 2.0$' main-after-refused-run >/dev/null; then
  keys Return
  answer_box "emptied password refused again" "" Return
  main=$(wait_window '^Ovalith 2.0$') && back_to_main "$main" && keys Escape
fi
finish_gtk
expect "refused command line run, then Escape: status" "$STATUS" 2
expect "refused runs write nothing" "$(ls "$dir")" "refused.txt"

# Names are bytes, as the terminal program takes them, and passwords text
# folded in the same code page: a name that is not UTF-8 (Latin-1 here)
# and a password beyond ASCII give the same container.
dir=$(new_dir)
latin1=$(printf 'r\351sum\351.txt')
head -c 3000 /dev/urandom >"$dir/$latin1"
start_gtk "$dir" "$latin1" "/pw=café crème"
finish_gtk
expect "Latin-1 name, accented password: status" "$STATUS" 0
expect_same_file "Latin-1 name, accented password: container as the terminal program's" \
  "$dir/${latin1%%.*}.ov2" \
  "$(terminal_encrypt "$dir/$latin1" "café crème")"

# The same name shown in the window (GTK shows only UTF-8), typed password.
start_gtk "$dir" "$latin1"
if main_window '^Ovalith 2.0$' main-latin1-name >/dev/null; then
  type_passwords "typed pw" "typed pw"
  answer_box "Latin-1 name: overwrite question" "" y
fi
finish_gtk
expect "Latin-1 name, typed password: status" "$STATUS" 0
expect_same_file "Latin-1 name, typed password: container as the terminal program's" \
  "$dir/${latin1%%.*}.ov2" "$(terminal_encrypt "$dir/$latin1" "typed pw")"
