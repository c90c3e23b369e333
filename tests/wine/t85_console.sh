# t85_console.sh: ovalith-cli.exe, the terminal program on the Windows
# console, used as scripts use it: the same statuses and files as the Linux
# program on the same cases, answers from redirected standard input,
# nothing on standard output, names beyond ASCII; on a terminal (Wine's
# console is then the pseudo-terminal), the masked form and Ctrl-C.

CLI=$TESTROOT/cli${SUITE%-bit}
mkdir -p "$CLI"
cp "$WIN_BUILD/ovalith-cli.exe" "$WIN_BUILD/ovalith.dll" "$CLI/"
CLI_STDOUT=$TESTROOT/cli-stdout

# Runs the console program from a batch file, as a script would: exactly
# this command text, standard input from a file (none: empty); sets STATUS.
run_cli() {  # arguments [input-file] [cd-dir]
  local input=${2:-$TESTROOT/no-input}
  : >"$TESTROOT/no-input"
  {
    [ -n "${3:-}" ] && printf '@cd /d "%s"\r\n' "$(winpath "$3")"
    printf '@"%s" %s <"%s"\r\n' "$(winpath "$CLI")\\ovalith-cli.exe" "$1" \
      "$(winpath "$input")"
    printf '@exit %%ERRORLEVEL%%\r\n'
  } | iconv -f UTF-8 -t CP437 >"$TESTROOT/cli.bat"
  timeout "${RUN_TIMEOUT:-60}" "$WINE" cmd /c "$(winpath "$TESTROOT/cli.bat")" \
    </dev/null >"$CLI_STDOUT" 2>"$STDERR_FILE"
  STATUS=$?
  [ -s "$CLI_STDOUT" ] && fail "$1: nothing on standard output" \
    "$(head -c 200 "$CLI_STDOUT")"
  return 0
}

# Every file below a folder with its checksum, to compare two folders.
listing() {
  (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r sha1sum)
}

# The Linux program and the console program on two copies of a folder, the
# same arguments and the same answers, one a line (LF for Linux, CRLF for
# Windows, as each system's files end their lines): equal statuses, equal
# folders afterwards.
same_as_linux() {  # name template-dir arguments [answer-lines...]
  local name=$1 template=$2 args=$3 linux win linux_status
  shift 3
  linux=$(new_dir)
  win=$(new_dir)
  cp -a "$template/." "$linux/"
  cp -a "$template/." "$win/"
  : >"$TESTROOT/answers.lf"
  : >"$TESTROOT/answers.crlf"
  for line in "$@"; do
    printf '%s\n' "$line" >>"$TESTROOT/answers.lf"
    printf '%s\r\n' "$line" >>"$TESTROOT/answers.crlf"
  done
  # shellcheck disable=SC2086  # the arguments are split as a shell would
  (cd "$linux" && "$LINUX_BUILD/ovalith" $args <"$TESTROOT/answers.lf" \
    >/dev/null 2>&1)
  linux_status=$?
  run_cli "$args" "$TESTROOT/answers.crlf" "$win"
  expect "$name: status as on Linux ($linux_status)" "$STATUS" "$linux_status"
  expect "$name: files as on Linux" "$(listing "$win")" "$(listing "$linux")"
  LAST_WIN_DIR=$win
}

# --- Unattended: containers byte for byte the Linux program's -------------
for entry in 0:empty.txt 7:seven.bin 8:eight.bin 1000003:big.data; do
  size=${entry%%:*}
  name=${entry#*:}
  dir=$(new_dir)
  head -c "$size" /dev/urandom >"$dir/$name"
  cp "$dir/$name" "$TESTROOT/original"
  run_cli "$name /pw=Open Sesame" "" "$dir"
  expect "cli: encrypt $name ($size bytes): status" "$STATUS" 0
  expect_same_file "cli: encrypt $name: the Linux program's container" \
    "$dir/${name%%.*}.ov2" "$(linux_encrypt "$dir/$name" "Open Sesame")"
  rm "$dir/$name"
  run_cli "${name%%.*}.ov2 /pw=Open Sesame" "" "$dir"
  expect "cli: decrypt $name: status" "$STATUS" 0
  expect_same_file "cli: decrypt $name: the original bytes" "$dir/$name" \
    "$TESTROOT/original"
done

# --- Answers from standard input, statuses and files as on Linux ----------
case_dir=$(new_dir)
echo "the plain text" >"$case_dir/notes.txt"
same_as_linux "cli: two passwords from standard input" "$case_dir" \
  "notes.txt" "pass word" "pass word"
expect_same_file "cli: two passwords: the container the password gives" \
  "$LAST_WIN_DIR/notes.ov2" "$(linux_encrypt "$case_dir/notes.txt" "pass word")"
cp "$LAST_WIN_DIR/notes.ov2" "$case_dir/"
echo "an older notes.txt" >"$case_dir/notes.txt"
same_as_linux "cli: existing output, Yes" "$case_dir" notes.ov2 \
  "pass word" "y"
expect "cli: existing output, Yes: replaced" \
  "$(cat "$LAST_WIN_DIR/notes.txt")" "the plain text"
same_as_linux "cli: existing output, No" "$case_dir" notes.ov2 \
  "pass word" "n"
expect "cli: existing output, No: kept" \
  "$(cat "$LAST_WIN_DIR/notes.txt")" "an older notes.txt"
grep -q "Overwrite ? \[y/N\] no" "$STDERR_FILE" &&
  pass "cli: the question and its answer on standard error" ||
  fail "cli: the question and its answer on standard error"
same_as_linux "cli: existing output, end of input" "$case_dir" notes.ov2 \
  "pass word"
same_as_linux "cli: wrong password" "$case_dir" notes.ov2 "pass ward"
same_as_linux "cli: passwords not equal" "$case_dir" notes.txt "abcd" "abce"
same_as_linux "cli: password too short" "$case_dir" notes.txt "abc" "abc"
# A character the code page lacks is refused, as on Linux, not replaced.
same_as_linux "cli: a password beyond the code page" "$case_dir" notes.txt \
  "zwölf Ω" "zwölf Ω"
grep -q "password holds a character that" "$STDERR_FILE" &&
  pass "cli: a password beyond the code page: said why" ||
  fail "cli: a password beyond the code page: said why"
same_as_linux "cli: missing file" "$case_dir" "absent.txt /pw=secret"
grep -q "absent.txt: no such file" "$STDERR_FILE" &&
  pass "cli: missing file: the cause on standard error" ||
  fail "cli: missing file: the cause on standard error"
grep -q "^Usage :" "$STDERR_FILE" &&
  pass "cli: missing file: the usage message on standard error" ||
  fail "cli: missing file: the usage message on standard error"
printf 'Ov2txt  not a container at all' >"$case_dir/damaged.ov2"
same_as_linux "cli: damaged container" "$case_dir" "damaged.ov2 /pw=secret"
head -c 20 "$LAST_WIN_DIR/notes.ov2" >"$case_dir/cut.ov2"
same_as_linux "cli: cut container" "$case_dir" "cut.ov2" "pass word"
same_as_linux "cli: declined overwrite with /pw=" "$case_dir" \
  "notes.ov2 /pw=pass word" "n"
# Several files: one password for the set; c at a question stops it.
echo "second" >"$case_dir/second.txt"
cp "$LAST_WIN_DIR/notes.ov2" "$case_dir/second.ov2"
same_as_linux "cli: a set, No to one question" "$case_dir" \
  "notes.txt second.txt" "pass word" "pass word" "y" "n"
same_as_linux "cli: a set stopped at a question" "$case_dir" \
  "second.txt notes.txt" "pass word" "pass word" "c"
grep -q "\[y/N/c=stop\] stop" "$STDERR_FILE" &&
  pass "cli: a set's question offers to stop it" ||
  fail "cli: a set's question offers to stop it"

# Lines through a pipe, ended as on Linux.
dir=$(new_dir)
echo "piped" >"$dir/piped.txt"
write_bat_cli() { printf '@cd /d "%s"\r\n@"%s" piped.txt\r\n@exit %%ERRORLEVEL%%\r\n' \
  "$(winpath "$dir")" "$(winpath "$CLI")\\ovalith-cli.exe" >"$TESTROOT/pipe.bat"; }
write_bat_cli
printf 'from a pipe\nfrom a pipe\n' | timeout 60 "$WINE" cmd /c \
  "$(winpath "$TESTROOT/pipe.bat")" >"$CLI_STDOUT" 2>"$STDERR_FILE"
expect "cli: passwords through a pipe: status" "$?" 0
expect_same_file "cli: passwords through a pipe: the container" \
  "$dir/piped.ov2" "$(linux_encrypt "$dir/piped.txt" "from a pipe")"

# --- Names and passwords beyond ASCII and beyond the code pages -----------
# Wine hands the program its arguments as wide text; the password comes
# as UTF-8 from standard input and is folded in the code page (Wine's is
# Windows-1252, the Linux program's default), so the containers match.
dir=$(new_dir)
name="Ωмега café 日本.txt"
echo "wide names" >"$dir/$name"
cp "$dir/$name" "$TESTROOT/original"
printf 'pässwörd\r\npässwörd\r\n' >"$TESTROOT/answers.crlf"
(cd "$dir" && LANG=C.UTF-8 timeout 60 "$WINE" "$(winpath "$CLI")\\ovalith-cli.exe" \
  "$name" <"$TESTROOT/answers.crlf" >"$CLI_STDOUT" 2>"$STDERR_FILE")
expect "cli: name beyond the code pages: status" "$?" 0
expect "cli: name beyond the code pages: nothing on standard output" \
  "$(cat "$CLI_STDOUT")" ""
expect_same_file "cli: name beyond the code pages: the Linux container" \
  "$dir/Ωмега café 日本.ov2" "$(linux_encrypt "$dir/$name" "pässwörd")"
rm "$dir/$name"
(cd "$dir" && LANG=C.UTF-8 timeout 60 "$WINE" "$(winpath "$CLI")\\ovalith-cli.exe" \
  "Ωмега café 日本.ov2" /pw=pässwörd </dev/null >/dev/null 2>"$STDERR_FILE")
expect "cli: name beyond the code pages: decrypt status" "$?" 0
expect_same_file "cli: name beyond the code pages: restored" "$dir/$name" \
  "$TESTROOT/original"
(cd "$dir" && LANG=C.UTF-8 timeout 60 "$WINE" "$(winpath "$CLI")\\ovalith-cli.exe" \
  "нет файла.txt" /pw=secret </dev/null >/dev/null 2>"$STDERR_FILE")
expect "cli: missing name beyond the code pages: status" "$?" 1
grep -q "нет файла.txt: no such file" "$STDERR_FILE" &&
  pass "cli: a name beyond the code pages shown as it is" ||
  fail "cli: a name beyond the code pages shown as it is"

# --- On a terminal: the masked form, the question, Ctrl-C -----------------
# Wine's console turns the pseudo-terminal into keys only once the program
# reads them: the driver waits for that ("keys") before typing.
on_terminal() {  # transcript step... -- command...
  LANG=C.UTF-8 python3 "$ROOT/tests/wine/console_pty.py" "$@"
}
dir=$(new_dir)
echo "typed" >"$dir/typed.txt"
(cd "$dir" && on_terminal "$TESTROOT/form.txt" 30 \
  "expect:Enter password again :" "expect:[Enter] Encrypt" keys \
  'send:zwölf €\r' 'send:zwölf €\r' \
  -- "$WINE" "$(winpath "$CLI")\\ovalith-cli.exe" typed.txt) 2>"$STDERR_FILE"
expect "cli on a terminal: typed passwords: status" "$?" 0
transcript=$(tr -d '\r' <"$TESTROOT/form.txt")
grep -qE "Enter password again : \*{7}($|[^*])" <<<"$transcript" &&
  pass "cli on a terminal: a star for each character typed" ||
  fail "cli on a terminal: a star for each character typed" "$transcript"
grep -q "zw\|ölf\|€" <<<"$transcript" &&
  fail "cli on a terminal: nothing typed is shown" "$transcript" ||
  pass "cli on a terminal: nothing typed is shown"
expect_same_file "cli on a terminal: the container the typed password gives" \
  "$dir/typed.ov2" "$(linux_encrypt "$dir/typed.txt" "zwölf €")"

(cd "$dir" && on_terminal "$TESTROOT/ask.txt" 30 "expect:[Enter] Decrypt" \
  keys 'send:zwölf €\r' "expect:Overwrite ? [y/N]" 'send:n' \
  "expect:[Enter] Decrypt" 'send:\x1b' \
  -- "$WINE" "$(winpath "$CLI")\\ovalith-cli.exe" typed.ov2) 2>"$STDERR_FILE"
expect "cli on a terminal: No, then Escape in the window: status" "$?" 2
expect "cli on a terminal: No to the question: file kept" \
  "$(cat "$dir/typed.txt")" "typed"

# Ctrl-C in the middle of a long run: the partial output goes, status 2.
truncate -s 400M "$dir/long.bin"
(cd "$dir" && on_terminal "$TESTROOT/stop.txt" 120 \
  "file:$dir/long.ov2.ovalith-partial-*" "expect:MiB /" 'send:\x03' \
  -- "$WINE" "$(winpath "$CLI")\\ovalith-cli.exe" long.bin /pw=secret) \
  2>"$STDERR_FILE"
expect "cli on a terminal: Ctrl-C during a run: status" "$?" 2
expect "cli on a terminal: Ctrl-C during a run: nothing left behind" \
  "$(cd "$dir" && ls | tr '\n' ' ')" "long.bin typed.ov2 typed.txt "

# The terminal closes in the middle of a run (Wine ends the program at once,
# as Windows does after its close handler): the partial output goes with it.
(cd "$dir" && on_terminal "$TESTROOT/hangup.txt" 120 \
  "file:$dir/long.ov2.ovalith-partial-*" "expect:MiB /" hangup \
  -- "$WINE" "$(winpath "$CLI")\\ovalith-cli.exe" long.bin /pw=secret) \
  2>"$STDERR_FILE"
deadline=$((SECONDS + 20))
while ls "$dir" | grep -q ovalith-partial && [ "$SECONDS" -lt "$deadline" ]; do
  sleep 0.2
done
expect "cli on a terminal: closed during a run: nothing left behind" \
  "$(cd "$dir" && ls | tr '\n' ' ')" "long.bin typed.ov2 typed.txt "
rm -f "$dir/long.bin"
