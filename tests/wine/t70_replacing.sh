# t70_replacing.sh: a run that replaces a file (after Yes) goes through
# ReplaceFileW, which on Windows keeps the replaced file's attributes and
# security as if it had been rewritten in place.  Wine's ReplaceFileW keeps
# neither (it renames), so here the trace shows the call, and the results
# show that replacing works both ways and that a file that cannot be
# replaced is left as it was.

# The attribute letters of a file, as Windows lists them.
attributes() {  # path
  timeout 30 "$WINE" cmd /c attrib "$(winpath "$1")" 2>/dev/null |
    tr -d '\r' | sed -E 's/^ *([A-Z ]*[A-Z])? +[A-Z]:.*$/\1/' | tr -d ' '
}

set_attributes() {  # path flags...
  local path=$1
  shift
  timeout 30 "$WINE" cmd /c attrib "$@" "$(winpath "$path")" >/dev/null 2>&1
}

dir=$(new_dir)
echo "plain text" >"$dir/kept.txt"
echo "older container" >"$dir/kept.ov2"
WINEDEBUG=trace+file start_ovalith "$(winpath "$dir/kept.txt") /pw=secret"
answer_box "replacing a container: question" "" y
finish_ovalith
grep -q 'trace:file:ReplaceFileW .*kept\.ov2" ' "$STDERR_FILE" &&
  pass "replacing a container: through ReplaceFileW" ||
  fail "replacing a container: through ReplaceFileW"
: >"$STDERR_FILE"
expect "replacing a container: status" "$STATUS" 0
expect_same_file "replacing a container: new content" "$dir/kept.ov2" \
  "$(linux_encrypt "$dir/kept.txt" secret)"

# The other way: the plain file is replaced.
cp "$dir/kept.txt" "$TESTROOT/kept-original"
echo "changed since" >"$dir/kept.txt"
start_ovalith "$(winpath "$dir/kept.ov2") /pw=secret"
answer_box "replacing a plain file: question" "" y
finish_ovalith
expect "replacing a plain file: status" "$STATUS" 0
expect_same_file "replacing a plain file: restored content" \
  "$dir/kept.txt" "$TESTROOT/kept-original"

# A new file gets the usual attributes, whatever the input's.
dir=$(new_dir)
echo "system input" >"$dir/new.txt"
set_attributes "$dir/new.txt" +s
run_ovalith "$(winpath "$dir/new.txt") /pw=secret"
expect "new container: status" "$STATUS" 0
expect "new container: usual attributes" "$(attributes "$dir/new.ov2")" "A"

# A read-only file is not replaced: the run fails and leaves it as it was.
dir=$(new_dir)
echo "plain" >"$dir/locked.txt"
echo "read-only container" >"$dir/locked.ov2"
set_attributes "$dir/locked.ov2" +r
start_ovalith "$(winpath "$dir/locked.txt") /pw=secret"
answer_box "read-only container: question" "" y
answer_box "read-only container: usage message" "" Return
finish_ovalith
expect "read-only container: status" "$STATUS" 1
expect "read-only container: left as it was" "$(cat "$dir/locked.ov2")" \
  "read-only container"
expect "read-only container: nothing else left" "$(ls "$dir" | tr '\n' ' ')" \
  "locked.ov2 locked.txt "
