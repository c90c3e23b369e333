# t20_unattended.sh: "/pw=" runs without a window; containers match the
# Linux program's byte for byte and each program decrypts the other's.

if [ ! -x "$LINUX_BUILD/ovalith" ]; then
  fail "Linux program at $LINUX_BUILD/ovalith" "not built"
else
  # Sizes around the block edges, an empty file, and one over the read
  # buffers; names with and without extensions.
  for entry in 0:empty.txt 1:one.txt 7:seven.bin 8:eight.bin 9:nine.dat \
    100:report.txt 5:photo.jpeg 333:archive.tar.gz 20:README \
    1000003:big.data; do
    size=${entry%%:*}
    name=${entry#*:}
    dir=$(new_dir)
    head -c "$size" /dev/urandom >"$dir/$name"
    cp "$dir/$name" "$TESTROOT/original"
    run_ovalith "$(winpath "$dir/$name") /pw=Open Sesame"
    container=$(ls "$dir"/*ov2 2>/dev/null | head -1)
    expect "encrypt $name ($size bytes): status" "$STATUS" 0
    from_linux=$(linux_encrypt "$dir/$name" "Open Sesame")
    # The Linux program names the container after the file it was given.
    expect_same_file "encrypt $name: same container as the Linux program" \
      "$container" "$from_linux"
    if [ -n "$container" ]; then
      ls "$dir" | grep -q ovalith-partial &&
        fail "encrypt $name: no temporary file left" "$(ls "$dir")"
      # Windows decrypts the Linux container...
      win_dir=$(new_dir)
      cp "$from_linux" "$win_dir/"
      run_ovalith "$(winpath "$win_dir/$(basename "$from_linux")") /pw=Open Sesame"
      restored=$(ls "$win_dir" | grep -v 'ov2$' | head -1)
      expect "decrypt Linux container of $name: status" "$STATUS" 0
      cut_name=$(sed -E 's/^([^.]*\.)(.{0,5}).*$/\1\2/' <<<"$name")
      [ "$name" = README ] && cut_name=READM
      expect "decrypt Linux container of $name: name" "$restored" "$cut_name"
      expect_same_file "decrypt Linux container of $name: bytes" \
        "$win_dir/$restored" "$TESTROOT/original"
      # ...and Linux decrypts the Windows one.
      linux_dir=$(new_dir)
      cp "$container" "$linux_dir/"
      (cd "$linux_dir" &&
        "$LINUX_BUILD/ovalith" "$(basename "$container")" "/pw=Open Sesame" \
          </dev/null >/dev/null 2>&1)
      expect_same_file "Linux decrypts the Windows container of $name" \
        "$linux_dir/$cut_name" "$TESTROOT/original"
    fi
  done
fi

# Paths as Explorer and consoles pass them.
dir=$(new_dir)
mkdir -p "$dir/two words"
echo "spaces in the path" >"$dir/two words/my notes.txt"
run_ovalith "\"$(winpath "$dir/two words/my notes.txt")\" /pw=secret"
expect "quoted path with spaces: status" "$STATUS" 0
[ -f "$dir/two words/my notes.ov2" ] && pass "quoted path: container beside the file" ||
  fail "quoted path: container beside the file" "$(ls "$dir/two words")"

echo "relative" >"$dir/rel.txt"
run_ovalith "rel.txt /pw=secret" "$dir"
expect "relative name in the current directory: status" "$STATUS" 0
[ -f "$dir/rel.ov2" ] && pass "relative name: container written" ||
  fail "relative name: container written"
mkdir -p "$dir/sub"
echo "sub" >"$dir/sub/inner.txt"
run_ovalith "sub\\inner.txt /pw=secret" "$dir"
expect "relative path with a directory: status" "$STATUS" 0
[ -f "$dir/sub/inner.ov2" ] && pass "relative path: container in its directory" ||
  fail "relative path: container in its directory"

# A name beyond ASCII goes through the wide API; the lookup finds it by
# another letter case and reports the listed name.
echo "accents" >"$dir/café.txt"
run_ovalith "$(winpath "$dir/CAFÉ.TXT") /pw=secret"
expect "name beyond ASCII, other case: status" "$STATUS" 0
[ -f "$dir/café.ov2" ] && pass "container named from the listed name" ||
  fail "container named from the listed name" "$(ls "$dir")"
