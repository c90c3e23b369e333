# t10_encrypt.sh: encrypt mode driven by keyboard: both passwords and
# Enter, the refusals that bring the window back ready for the passwords to
# be typed over (passwords differ, too short), the overwrite question
# answered No, by Enter (its default) and Yes.

PW="Open Sesame"

# Both passwords and Enter write the container the terminal program writes.
dir=$(new_dir)
head -c 5000 /dev/urandom >"$dir/letter.txt"
start_gtk "$dir" letter.txt
if main_window '^Ovalith 2.0$' main-encrypt >/dev/null; then
  type_passwords "$PW" "$PW"
fi
finish_gtk
expect "typed passwords and Enter: status" "$STATUS" 0
expect_same_file "typed passwords: container as the terminal program's" \
  "$dir/letter.ov2" "$(terminal_encrypt "$dir/letter.txt" "$PW")"

# Passwords that differ: the message, then the window takes input again
# with the focus in the first box and both texts selected: what is typed
# next replaces them.
dir=$(new_dir)
echo "mismatch" >"$dir/mismatch.txt"
start_gtk "$dir" mismatch.txt
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "abcd" "abce"
  answer_box "passwords differ: message box" message-passwords-differ Return
  back_to_main "$main"
  type_passwords "wxyz" "wxyz"
fi
finish_gtk
expect "typed over after the message: status" "$STATUS" 0
expect_same_file "typed-over password used" "$dir/mismatch.ov2" \
  "$(terminal_encrypt "$dir/mismatch.txt" wxyz)"

# A short password: the message; the boxes are typed over as above.
dir=$(new_dir)
echo "short" >"$dir/short.txt"
start_gtk "$dir" short.txt
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "abc" "abc"
  answer_box "short password: message box" message-short-password space
  back_to_main "$main"
  type_passwords "abcde" "abcde"
fi
finish_gtk
expect "short password typed over: status" "$STATUS" 0
expect_same_file "short password typed over: the new one used" \
  "$dir/short.ov2" "$(terminal_encrypt "$dir/short.txt" abcde)"

# The overwrite question: No, and Enter (No is the default), keep the old
# container and the window.
dir=$(new_dir)
echo "overwrite" >"$dir/over.txt"
echo "old container" >"$dir/over.ov2"
for key in n Return; do
  start_gtk "$dir" over.txt
  if main=$(main_window '^Ovalith 2.0$'); then
    type_passwords "$PW" "$PW"
    answer_box "existing container: question ($key)" "question-overwrite-$key" "$key"
    back_to_main "$main"
    keys Escape
  fi
  finish_gtk
  expect "overwrite question, $key, then Escape: status" "$STATUS" 2
  expect "overwrite question, $key: old container kept" "$(cat "$dir/over.ov2")" \
    "old container"
done

# Yes replaces it.
start_gtk "$dir" over.txt
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "$PW" "$PW"
  answer_box "existing container: question, Yes" "" y
fi
finish_gtk
expect "overwrite Yes: status" "$STATUS" 0
expect_same_file "overwrite Yes: new container" "$dir/over.ov2" \
  "$(terminal_encrypt "$dir/over.txt" "$PW")"
expect "overwrite Yes: no temporary file left" \
  "$(ls "$dir" | grep -c ovalith-partial)" 0
