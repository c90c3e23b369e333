# t60_restored_names.sh: restored names come from the container, so Windows'
# own rules apply to them: a device name or a colon (a stream, a drive) is a
# failure that writes nothing; a trailing dot is dropped as Windows drops it.

# Decrypts under Wine a container that the Linux program made from a file
# of the given name; the working directory is left in RESTORE_DIR.
restore_from_linux() {  # plain-name
  local source_dir container
  source_dir=$(new_dir)
  echo "payload" >"$source_dir/$1"
  container=$(linux_encrypt "$source_dir/$1" secret)
  RESTORE_DIR=$(new_dir)
  cp "$container" "$RESTORE_DIR/"
  start_ovalith "$(winpath "$RESTORE_DIR/$(basename "$container")") /pw=secret"
}

# A file without a "." gives the container "ov2", restored under the
# stored name alone.
for name in NUL com1 'a.b:c' 'nul.txt'; do
  restore_from_linux "$name"
  answer_box "restored name '$name': usage message" "" Return
  finish_ovalith
  expect "restored name '$name': status" "$STATUS" 1
  expect "restored name '$name': nothing written" \
    "$(ls "$RESTORE_DIR" | grep -vc 'ov2$')" 0
done

restore_from_linux "notes."
finish_ovalith
expect "restored name 'notes.': status" "$STATUS" 0
expect "restored name 'notes.': written as Windows names it" \
  "$(ls "$RESTORE_DIR" | grep -v 'ov2$')" "notes"

# An extension beyond ASCII is stored in the ANSI code page and comes back
# as the same name.
dir=$(new_dir)
echo "accented extension" >"$dir/doc.tést"
cp "$dir/doc.tést" "$TESTROOT/accent-original"
run_ovalith "$(winpath "$dir/doc.tést") /pw=secret"
expect "extension beyond ASCII: encrypted" "$STATUS" 0
rm -f "$dir/doc.tést"
run_ovalith "$(winpath "$dir/doc.ov2") /pw=secret"
expect "extension beyond ASCII: decrypted" "$STATUS" 0
expect_same_file "extension beyond ASCII: restored under its name" \
  "$dir/doc.tést" "$TESTROOT/accent-original"
# The Linux program takes the stored bytes as they are: é is one byte in
# Wine's default code page, 1252.
linux_dir=$(new_dir)
cp "$dir/doc.ov2" "$linux_dir/"
(cd "$linux_dir" && "$LINUX_BUILD/ovalith" doc.ov2 /pw=secret </dev/null \
  >/dev/null 2>&1)
expect "extension beyond ASCII: stored as one code page byte" \
  "$(ls "$linux_dir" | grep -av 'ov2$' | tr -d '\n' | od -An -tx1 | tr -d ' \n')" \
  "646f632e74e97374"
