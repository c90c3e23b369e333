# t80_several_files.sh: several files at once, as Explorer hands them over:
# Send To quotes every path, drag and drop only those with blanks.  Each
# container is the Linux program's byte for byte; a container of the set is
# restored; a missing file is reported and the others are done; the window
# names the set and lists it; the question in a set offers to stop it; the
# Start-menu shortcut's /choose opens the file chooser; the progress window
# stops a run.

PW="Open Sesame"

# Expects each plain file's container beside it, as the Linux program makes.
expect_containers() {  # test-name dir names...
  local name=$1 dir=$2 file
  shift 2
  for file in "$@"; do
    expect_same_file "$name: $file as the Linux program encrypts it" \
      "$dir/${file%.*}.ov2" "$(linux_encrypt "$dir/$file" "$PW")"
  done
}

# Send To: every path quoted; one of them a container made on Linux.
dir=$(new_dir)
mkdir -p "$dir/two words"
head -c 5000 /dev/urandom >"$dir/first.txt"
head -c 17 /dev/urandom >"$dir/two words/second file.doc"
head -c 8 /dev/urandom >"$dir/third.bin"
source_dir=$(new_dir)
echo "made on Linux" >"$source_dir/restored.txt"
cp "$(linux_encrypt "$source_dir/restored.txt" "$PW")" "$dir/restored.ov2"
run_ovalith "\"$(winpath "$dir/first.txt")\" \"$(winpath "$dir/two words/second file.doc")\" \"$(winpath "$dir/third.bin")\" \"$(winpath "$dir/restored.ov2")\" /pw=$PW"
expect "Send To, four quoted paths: status" "$STATUS" 0
expect_containers "Send To" "$dir" first.txt "two words/second file.doc" \
  third.bin
expect_same_file "Send To: the container of the set restored" \
  "$dir/restored.txt" "$source_dir/restored.txt"

# Drag and drop: bare paths, quotes only around the one with a blank.
dir=$(new_dir)
head -c 999 /dev/urandom >"$dir/x.txt"
head -c 64 /dev/urandom >"$dir/y.dat"
head -c 3 /dev/urandom >"$dir/with blank.txt"
run_ovalith "$(winpath "$dir/x.txt") $(winpath "$dir/y.dat") \"$(winpath "$dir/with blank.txt")\" /pw=$PW"
expect "drag and drop, bare paths: status" "$STATUS" 0
expect_containers "drag and drop" "$dir" x.txt y.dat "with blank.txt"

# A name with a blank, unquoted, is still the one file it names.
echo "one file" >"$dir/my notes.txt"
run_ovalith "$(winpath "$dir/my notes.txt") /pw=$PW"
expect "unquoted name with a blank: status" "$STATUS" 0
expect_containers "unquoted name with a blank" "$dir" "my notes.txt"

# A missing file in the middle: reported at the end, the others done.
dir=$(new_dir)
echo "a" >"$dir/a.txt"
echo "c" >"$dir/c.txt"
start_ovalith "$(winpath "$dir/a.txt") $(winpath "$dir/missing.txt") $(winpath "$dir/c.txt") /pw=$PW"
summary=$(box_text)
grep -q "missing.txt" <<<"$summary" &&
  pass "missing file in a set: the summary names it" ||
  fail "missing file in a set: the summary names it" "$summary"
answer_box "missing file in a set: summary" set-summary Return
finish_ovalith
expect "missing file in a set: status" "$STATUS" 1
expect_containers "missing file in a set" "$dir" a.txt c.txt

# The window names the set, lists it in the label's tooltip, and asks
# twice for the password.
dir=$(new_dir)
for name in one.txt two.txt three.txt; do
  head -c 100 /dev/urandom >"$dir/$name"
done
start_ovalith "$(winpath "$dir/one.txt") $(winpath "$dir/two.txt") $(winpath "$dir/three.txt")"
if main=$(main_window '^Ovalith 2.0$' main-set); then
  grep -qx "one.txt and 2 more" <<<"$(probe --text 'Ovalith 2.0')" &&
    pass "set: the window names it" ||
    fail "set: the window names it" "$(probe --text 'Ovalith 2.0')"
  # The pointer rests on the file's label.
  # shellcheck disable=SC2046
  xdotool mousemove $(probe --where 'Ovalith 2.0' "one.txt and 2 more")
  sleep 0.2
  xdotool mousemove_relative 2 0
  tip=""
  for _ in $(seq 50); do
    tip=$(probe --tip -) && break
    sleep 0.2
  done
  expect "set: the tooltip lists every file" "$(tr '\n' '|' <<<"$tip")" \
    "one.txt|two.txt|three.txt|"
  timeout 10 import -window root "$ARTIFACTS/main-set-tooltip.png" 2>/dev/null
  xdotool mousemove 0 0
  focus "$main" && type_passwords "$PW" "$PW"
fi
finish_ovalith
expect "set from the window: status" "$STATUS" 0
expect_containers "set from the window" "$dir" one.txt two.txt three.txt

# The question in a set: Enter is No, and the others go on; Cancel stops
# the set before the files after it.
dir=$(new_dir)
for name in p.txt q.txt r.txt s.txt; do echo "$name" >"$dir/$name"; done
echo "old" >"$dir/q.ov2"
start_ovalith "$(winpath "$dir/p.txt") $(winpath "$dir/q.txt") $(winpath "$dir/r.txt") /pw=$PW"
expect "set: the question names the file" "$(box_text | tr '\n' '|')" \
  "File already exists !|q.ov2|Overwrite ?|"
answer_box "set: overwrite question, Enter" set-question Return
answer_box "set: summary after No" "" Return
finish_ovalith
expect "set, Enter at the question: status" "$STATUS" 2
expect "set, Enter at the question: the old container kept" \
  "$(cat "$dir/q.ov2")" "old"
expect_containers "set, Enter at the question" "$dir" p.txt r.txt
rm -f "$dir/p.ov2" "$dir/r.ov2"
start_ovalith "$(winpath "$dir/q.txt") $(winpath "$dir/s.txt") /pw=$PW"
answer_box "set: overwrite question, Cancel" "" Escape
answer_box "set: summary after Cancel" "" Return
finish_ovalith
expect "set, Cancel at the question: status" "$STATUS" 2
expect "set, Cancel: nothing more done" "$(ls "$dir" | tr '\n' ' ')" \
  "p.txt q.ov2 q.txt r.txt s.txt "

# The Start-menu shortcut: /choose opens the chooser, several files.
dir=$(new_dir)
head -c 300 /dev/urandom >"$dir/chosen1.txt"
head -c 301 /dev/urandom >"$dir/chosen2.txt"
start_ovalith "/choose" "$dir"
if chooser=$(wait_window '^Ovalith: choose files$' 30); then
  pass "/choose: the file chooser"
  focus "$chooser" && type_text '"chosen1.txt" "chosen2.txt"' && keys Return
  if main=$(main_window '^Ovalith 2.0$'); then
    type_passwords "$PW" "$PW"
  fi
else
  fail "/choose: the file chooser" "not shown"
fi
finish_ovalith
expect "/choose: status" "$STATUS" 0
expect_containers "/choose" "$dir" chosen1.txt chosen2.txt
start_ovalith "/choose" "$dir"
if chooser=$(wait_window '^Ovalith: choose files$' 30); then
  focus "$chooser" && keys Escape
fi
finish_ovalith
expect "/choose, cancelled: status" "$STATUS" 2

# Stopping: Escape in the progress window in the middle of a set, and its
# close box for one file.  The file in progress leaves nothing, finished
# files stay done, files not reached are untouched.
dir=$(new_dir)
echo "done first" >"$dir/early.txt"
truncate -s 1G "$dir/large.bin"
echo "never reached" >"$dir/late.txt"
OVALITH_DES_PATH=word64 RUN_TIMEOUT=120 start_ovalith \
  "$(winpath "$dir/early.txt") $(winpath "$dir/large.bin") $(winpath "$dir/late.txt") /pw=$PW"
if progress=$(wait_window '^Encrypting\.\.\.$' 30); then
  sleep 0.5
  screenshot "$progress" progress-set
  focus "$progress" && keys Escape
  answer_box "stopped set: summary" "" Return
else
  fail "stopped set: progress window" "not shown"
fi
finish_ovalith
expect "stopped set: status" "$STATUS" 2
expect "stopped set: the first file done, nothing else written" \
  "$(ls "$dir" | tr '\n' ' ')" "early.ov2 early.txt large.bin late.txt "
OVALITH_DES_PATH=word64 RUN_TIMEOUT=120 start_ovalith \
  "$(winpath "$dir/large.bin") /pw=$PW"
if progress=$(wait_window '^Encrypting\.\.\.$' 30); then
  focus "$progress" && keys alt+F4
fi
finish_ovalith
expect "progress window closed, one file: status" "$STATUS" 2
expect "progress window closed: nothing written" \
  "$(ls "$dir" | tr '\n' ' ')" "early.ov2 early.txt large.bin late.txt "
rm -f "$dir/large.bin"

# Near Windows' limit of 32,767 characters for a whole command line: a
# selection that fits is done whole; one beyond it never starts the
# program (Wine refuses as CreateProcess does), so no file is half done.
# (wine would quote a password with a blank.)
dir=$(new_dir)
many=()
for i in $(seq 330); do
  name=$(printf 'selected-file-%04d-of-a-long-selection.txt' "$i")
  echo "$i" >"$dir/$name"
  many+=("$(winpath "$dir/$name")")
done
line="${many[*]}"
timeout 120 "$WINE" "$(winpath "$APP/ovalith.exe")" "${many[@]}" /pw=sesame \
  >/dev/null 2>"$STDERR_FILE"
status=$?
[ "$status" = 124 ] && close_leftovers
expect "330 files, ${#line} characters: status" "$status" 0
expect "330 files: every container written" "$(ls "$dir" | grep -c 'ov2$')" 330
rm -f "$dir"/*.ov2
for i in $(seq 331 420); do
  name=$(printf 'selected-file-%04d-of-a-long-selection.txt' "$i")
  echo "$i" >"$dir/$name"
  many+=("$(winpath "$dir/$name")")
done
line="${many[*]}"
timeout 120 "$WINE" "$(winpath "$APP/ovalith.exe")" "${many[@]}" /pw=sesame \
  >/dev/null 2>"$STDERR_FILE"
status=$?
[ "$status" = 124 ] && close_leftovers
[ "$status" -ne 0 ] && [ "$(ls "$dir" | grep -c 'ov2$')" = 0 ] &&
  pass "420 files, ${#line} characters: not started, nothing written" ||
  fail "420 files, ${#line} characters: not started, nothing written" \
    "status $status, $(ls "$dir" | grep -c 'ov2$') containers"
: >"$STDERR_FILE"
