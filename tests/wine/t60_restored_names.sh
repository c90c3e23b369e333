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
