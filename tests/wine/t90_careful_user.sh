# t90_careful_user.sh: what a careful user meets: the usage box ends with
# the cause; Enter at the overwrite question keeps the file; PHOTO.OV2 is a
# container; an output is never written over its own input; passwords in
# the ANSI code page (Cyrillic refused on a Western system, "été-clé" the
# same key as on Linux); typing after a refusal replaces the old text;
# folders deeper than MAX_PATH.

PW="Open Sesame"

# The program started by wine itself: it quotes what has blanks, and passes
# text a batch file in the console's code page could not hold.
start_direct() {  # arguments...
  rm -f "$TESTROOT/status"
  (
    LC_ALL=C.UTF-8 timeout "${RUN_TIMEOUT:-30}" "$WINE" \
      "$(winpath "$APP/ovalith.exe")" "$@" \
      >/dev/null 2>"$STDERR_FILE"
    echo $? >"$TESTROOT/status"
  ) &
  RUN_PID=$!
}

# The usage box: "File not found !!" first, the cause last.
dir=$(new_dir)
start_ovalith "$(winpath "$dir/absent.txt") /pw=secret"
text=$(box_text)
expect "usage box: first line kept" "$(head -1 <<<"$text")" "File not found !!"
expect "usage box: the cause last, naming the file as Windows writes it" \
  "$(tail -1 <<<"$text")" "$(winpath "$dir/absent.txt"): no such file"
answer_box "usage box answered" usage-box-cause Return
finish_ovalith
expect "usage box: status" "$STATUS" 1
make_app "$TESTROOT/app-no-dll" no
echo "x" >"$dir/lib.txt"
start_ovalith "$(winpath "$dir/lib.txt") /pw=secret" "" "$TESTROOT/app-no-dll"
grep -q 'ovalith.dll' <<<"$(box_text | tail -1)" &&
  pass "usage box: a missing library named" ||
  fail "usage box: a missing library named" "$(box_text)"
answer_box "usage box for the library answered" "" Return
finish_ovalith

# Enter at the overwrite question is No.
echo "plain" >"$dir/keep.txt"
echo "older container" >"$dir/keep.ov2"
start_ovalith "$(winpath "$dir/keep.txt")"
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "$PW" "$PW"
  answer_box "overwrite question" "" Return
  focus "$main" && keys Escape
fi
finish_ovalith
expect "Enter at the overwrite question: the container kept" \
  "$(cat "$dir/keep.ov2")" "older container"

# PHOTO.OV2 is a container as photo.ov2 is; restored, not encrypted, under
# its own stem.
dir=$(new_dir)
head -c 4000 /dev/urandom >"$TESTROOT/photo.jpg"
cp "$(linux_encrypt "$TESTROOT/photo.jpg" "$PW")" "$dir/PHOTO.OV2"
run_ovalith "$(winpath "$dir/PHOTO.OV2") /pw=$PW"
expect "PHOTO.OV2: status" "$STATUS" 0
expect_same_file "PHOTO.OV2: restored" "$dir/PHOTO.jpg" "$TESTROOT/photo.jpg"
# A Linux file "a.OV2" (plain there) gives the container "a.ov2", whose
# restored name on Windows is the container itself: refused, untouched.
source_dir=$(new_dir)
echo "plain on Linux" >"$source_dir/a.OV2"
cp "$(linux_encrypt "$source_dir/a.OV2" "$PW")" "$dir/a.ov2"
cp "$dir/a.ov2" "$TESTROOT/a-container"
start_ovalith "$(winpath "$dir/a.ov2") /pw=$PW"
grep -q 'never written over' <<<"$(box_text | tail -1)" &&
  pass "output that is the input: refused, saying why" ||
  fail "output that is the input: refused, saying why" "$(box_text)"
answer_box "output that is the input: usage box" output-is-input Return
finish_ovalith
expect "output that is the input: status" "$STATUS" 1
expect_same_file "output that is the input: the container untouched" \
  "$dir/a.ov2" "$TESTROOT/a-container"

# Passwords: Windows-1252 here, as Wine's default English system.
dir=$(new_dir)
echo "cyrillic" >"$dir/cyr.txt"
start_direct "$(winpath "$dir/cyr.txt")" "/pw=пароль"
grep -q 'Windows-1252' <<<"$(box_text)" &&
  pass "Cyrillic password on a Western system: refused, saying why" ||
  fail "Cyrillic password on a Western system: refused, saying why" \
    "$(box_text)"
answer_box "Cyrillic password: message" cyrillic-refused Return
main_window '^Ovalith 2.0$' >/dev/null && keys Escape
finish_ovalith
expect "Cyrillic password: status" "$STATUS" 2
expect "Cyrillic password: nothing written" "$(ls "$dir")" "cyr.txt"
head -c 777 /dev/urandom >"$dir/accent.txt"
run_ovalith "$(winpath "$dir/accent.txt") /pw=été-clé"
expect "été-clé: status" "$STATUS" 0
expect_same_file "été-clé: the container the Linux program makes" \
  "$dir/accent.ov2" "$(linux_encrypt "$dir/accent.txt" "été-clé")"

# After a refusal, typing replaces: the first box has the focus, both
# boxes' text is selected.
dir=$(new_dir)
echo "retype" >"$dir/retype.txt"
start_ovalith "$(winpath "$dir/retype.txt")"
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "abc" "abc"
  answer_box "short password: message" "" Return
  focus "$main" && type_passwords "long enough" "long enough"
fi
finish_ovalith
expect "retyped after a refusal: status" "$STATUS" 0
expect_same_file "retyped after a refusal: the new password alone" \
  "$dir/retype.ov2" "$(linux_encrypt "$dir/retype.txt" "long enough")"

# A folder path far beyond MAX_PATH (260): the program finds its library
# and writes the container.
deep=$(new_dir)
for _ in $(seq 12); do deep=$deep/abcdefghijklmnopqrstuvwxyz0123; done
mkdir -p "$deep"
head -c 100 /dev/urandom >"$deep/deep.txt"
run_ovalith "$(winpath "$deep/deep.txt") /pw=$PW"
expect "path of ${#deep} characters: status" "$STATUS" 0
expect_containers_deep=$(linux_encrypt "$deep/deep.txt" "$PW")
expect_same_file "path of ${#deep} characters: container" "$deep/deep.ov2" \
  "$expect_containers_deep"

# A long name is shortened in the middle: its beginning and its extension
# stay in view, and the tooltip shows it whole.
dir=$(new_dir)
long=quarterly-report-of-the-northern-region-final-version-two.xlsx
echo "long" >"$dir/$long"
start_ovalith "$(winpath "$dir/$long")"
if main=$(main_window '^Ovalith 2.0$' main-long-name); then
  shown=$(probe --text 'Ovalith 2.0' | grep '^quarterly')
  [[ $shown == quarterly*…*.xlsx && ${#shown} -lt ${#long} ]] &&
    pass "long name: elided in the middle ($shown)" ||
    fail "long name: elided in the middle" "shown as '$shown'"
  keys Escape
fi
finish_ovalith
expect "long name: Escape" "$STATUS" 2
