# t50_failures.sh: the usage message ends the program with status 1 and
# leaves nothing behind; a long run shows and paints its progress window.

dir=$(new_dir)
echo "no library" >"$dir/nolib.txt"
make_app "$TESTROOT/app-without-dll" no
start_ovalith "$(winpath "$dir/nolib.txt") /pw=secret" "" \
  "$TESTROOT/app-without-dll"
answer_box "missing ovalith.dll: usage message" usage-box Return
finish_ovalith
expect "missing ovalith.dll: status" "$STATUS" 1
grep -q "ovalith.dll" "$STDERR_FILE" && pass "missing ovalith.dll: cause on stderr" ||
  fail "missing ovalith.dll: cause on stderr" "$(cat "$STDERR_FILE")"
expect "missing ovalith.dll: nothing left beside the file" "$(ls "$dir")" \
  "nolib.txt"

# The library comes from the program's folder or the system's, never from
# the folder of the file, which is the working directory by then: a DLL
# may lie beside a downloaded container.  The stand-in leaves a marker
# where it is loaded.
dir=$(new_dir)
echo "planted" >"$dir/planted.txt"
cp "$WIN_BUILD/marker/ovalith.dll" "$dir/"
start_ovalith "$(winpath "$dir/planted.txt") /pw=secret" "" \
  "$TESTROOT/app-without-dll"
answer_box "DLL only beside the file: usage message" "" Return
finish_ovalith
expect "DLL only beside the file: status" "$STATUS" 1
grep -q "ovalith.dll" "$STDERR_FILE" &&
  pass "DLL only beside the file: missing library on stderr" ||
  fail "DLL only beside the file: missing library on stderr"
expect "DLL only beside the file: not loaded, nothing written" \
  "$(ls "$dir" | tr '\n' ' ')" "ovalith.dll planted.txt "
run_ovalith "$(winpath "$dir/planted.txt") /pw=secret"
expect "DLL beside the file and the program's: status" "$STATUS" 0
[ -e "$dir/ovalith-loaded.txt" ] &&
  fail "DLL beside the file and the program's: the program's is used"
# The stand-in does leave its marker when it is the program's library.
make_app "$TESTROOT/app-with-marker" no
cp "$WIN_BUILD/marker/ovalith.dll" "$TESTROOT/app-with-marker/"
rm -f "$dir/planted.ov2" "$dir/ovalith.dll"
run_ovalith "$(winpath "$dir/planted.txt") /pw=secret" "" \
  "$TESTROOT/app-with-marker"
expect "stand-in beside the program: status" "$STATUS" 0
[ -e "$dir/ovalith-loaded.txt" ] &&
  pass "stand-in beside the program: loaded, marker left" ||
  fail "stand-in beside the program: loaded, marker left" "$(ls "$dir")"
# Its cipher is the identity, called one block at a time (it has no bulk
# entry points): the container is the plain layout.
printf 'Ov2txt  planted\nOv2End.8' >"$TESTROOT/identity.ov2"
expect_same_file "stand-in beside the program: its blocks, one call each" \
  "$dir/planted.ov2" "$TESTROOT/identity.ov2"

dir=$(new_dir)
start_ovalith "$(winpath "$dir/absent.txt") /pw=secret"
answer_box "file not found: usage message" "" Return
finish_ovalith
expect "file not found: status" "$STATUS" 1

# Network paths keep the current drive and then fail to be found.
start_ovalith '\\nohost\share\x.txt /pw=secret'
answer_box "unreachable network path: usage message" "" Return
finish_ovalith
expect "unreachable network path: status" "$STATUS" 1

# A large file through the slowest cipher path keeps the progress window up
# long enough to see it.
dir=$(new_dir)
truncate -s 1G "$dir/large.bin"
OVALITH_DES_PATH=word64 RUN_TIMEOUT=120 \
  start_ovalith "$(winpath "$dir/large.bin") /pw=secret"
if progress=$(wait_window '^Encrypting\.\.\.$' 20); then
  pass "progress window shown"
  sleep 0.3
  screenshot "$progress" progress-window
else
  fail "progress window shown"
fi
finish_ovalith
expect "large file: status" "$STATUS" 0
expect "large file: container size" "$(stat -c %s "$dir/large.ov2" 2>/dev/null)" \
  $((1024 * 1024 * 1024 + 16))
rm -f "$dir/large.bin" "$dir/large.ov2"

# A drive letter that names no drive is a failure, not a guess.
start_ovalith 'Q:\nowhere\x.txt /pw=secret'
answer_box "missing drive: usage message" "" Return
finish_ovalith
expect "missing drive: status" "$STATUS" 1
