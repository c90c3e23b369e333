# t40_dialogs.sh: the main window driven by keyboard as a user would: typed
# passwords and Enter, refusals that bring the window back, the overwrite
# question, Escape and the close box, decrypt mode.

PW="Open Sesame"

# Typing both passwords and Enter writes the container.
dir=$(new_dir)
head -c 5000 /dev/urandom >"$dir/letter.txt"
start_ovalith "$(winpath "$dir/letter.txt")"
if main_window '^Ovalith 2.0$' main-encrypt >/dev/null; then
  type_passwords "$PW" "$PW"
fi
finish_ovalith
expect "typed passwords and Enter: status" "$STATUS" 0
expect_same_file "typed passwords: container as the Linux program's" \
  "$dir/letter.ov2" "$(linux_encrypt "$dir/letter.txt" "$PW")"

# Passwords that differ: the message, then the window takes input again,
# ready for both passwords to be typed over.
dir=$(new_dir)
echo "mismatch" >"$dir/mismatch.txt"
start_ovalith "$(winpath "$dir/mismatch.txt")"
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "abcd" "abce"
  answer_box "passwords differ: message box" message-box Return
  focus "$main" && type_passwords "abcd" "abcd"
fi
finish_ovalith
expect "corrected after the message: status" "$STATUS" 0
expect_same_file "corrected password used" "$dir/mismatch.ov2" \
  "$(linux_encrypt "$dir/mismatch.txt" abcd)"

# The overwrite question: No keeps the old container and the window.
dir=$(new_dir)
echo "overwrite" >"$dir/over.txt"
echo "old container" >"$dir/over.ov2"
start_ovalith "$(winpath "$dir/over.txt")"
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "$PW" "$PW"
  answer_box "existing container: question" question-box n
  focus "$main"
  keys Escape
fi
finish_ovalith
expect "overwrite No, then Escape: status" "$STATUS" 2
expect "overwrite No: old container kept" "$(cat "$dir/over.ov2")" \
  "old container"

# Yes replaces it.
start_ovalith "$(winpath "$dir/over.txt")"
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "$PW" "$PW"
  answer_box "existing container: question again" "" y
fi
finish_ovalith
expect "overwrite Yes: status" "$STATUS" 0
expect_same_file "overwrite Yes: new container" "$dir/over.ov2" \
  "$(linux_encrypt "$dir/over.txt" "$PW")"
ls "$dir" | grep -q ovalith-partial && fail "overwrite Yes: no temporary left"

# Decrypt mode: caption "Decrypt", one box; Tab goes from it straight to
# the buttons, so Tab Tab Enter presses Cancel.
dir=$(new_dir)
cp "$(linux_encrypt "$APP/ovalith.exe" "$PW")" "$dir/prog.ov2"
start_ovalith "$(winpath "$dir/prog.ov2")"
if main_window '^Decrypt$' main-decrypt >/dev/null; then
  type_text "$PW"
  keys Tab Tab Return
fi
finish_ovalith
expect "decrypt mode, Tab Tab Enter is Cancel: status" "$STATUS" 2
[ -e "$dir/prog.exe" ] && fail "Cancel in decrypt mode writes nothing"

# A wrong password: the message, then the right one.
start_ovalith "$(winpath "$dir/prog.ov2")"
if main=$(main_window '^Decrypt$'); then
  type_text "wrong"
  keys Return
  answer_box "wrong password: message box" message-box-wrong-password Return
  focus "$main" && type_text "$PW" && keys Return
fi
finish_ovalith
expect "decrypt after a wrong password: status" "$STATUS" 0
expect_same_file "decrypt: file restored" "$dir/prog.exe" \
  "$APP/ovalith.exe"

# The close box (Alt+F4) ends without a run.
dir=$(new_dir)
echo "close" >"$dir/close.txt"
start_ovalith "$(winpath "$dir/close.txt")"
main_window '^Ovalith 2.0$' >/dev/null && keys alt+F4
finish_ovalith
expect "close box: status" "$STATUS" 2

# "/pw=" with a short password: refused, then the window is shown with
# the password filled in; Enter refuses again.
start_ovalith "$(winpath "$dir/close.txt") /pw=abc"
answer_box "short password from the command line: message" "" Return
if main_window '^Ovalith 2.0$' main-after-refused-run >/dev/null; then
  keys Return
  answer_box "filled-in short password refused again" "" Return
  main_window '^Ovalith 2.0$' >/dev/null && keys Escape
fi
finish_ovalith
expect "refused command line run, then Escape: status" "$STATUS" 2
[ -e "$dir/close.ov2" ] && fail "refused runs write nothing"
