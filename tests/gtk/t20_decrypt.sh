# t20_decrypt.sh: decrypt mode: caption "Decrypt" and one password box, a
# wrong password then the right one, and the focus order past the hidden
# second box.

PW="Open Sesame"
plain=$(new_dir)/prog.bin
head -c 20000 /dev/urandom >"$plain"

# From the one box, Tab Tab reaches Cancel: the hidden box is skipped.
dir=$(new_dir)
cp "$(terminal_encrypt "$plain" "$PW")" "$dir/prog.ov2"
start_gtk "$dir" prog.ov2
if main_window '^Decrypt$' main-decrypt >/dev/null; then
  type_text "$PW"
  keys Tab Tab Return
fi
finish_gtk
expect "decrypt mode, Tab Tab Enter is Cancel: status" "$STATUS" 2
expect "Cancel in decrypt mode writes nothing" "$(ls "$dir")" "prog.ov2"

# A wrong password: the message, then the right one, typed over the
# selected wrong one, restores the file.
start_gtk "$dir" prog.ov2
if main=$(main_window '^Decrypt$'); then
  type_text "wrong"
  keys Return
  answer_box "wrong password: message box" message-wrong-password Return
  back_to_main "$main"
  type_text "$PW"
  keys Return
fi
finish_gtk
expect "decrypt after a wrong password: status" "$STATUS" 0
expect_same_file "decrypt: file restored" "$dir/prog.bin" "$plain"
