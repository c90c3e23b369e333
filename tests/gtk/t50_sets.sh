# t50_sets.sh: several files named at once: one password for the set, each
# file in its own mode (all plain, all containers, mixed), the overwrite
# question of a set (Enter is No; Escape stops the set) and the summary of
# the files not done.

PW="set of files"

# Three plain files: the encrypt window names the first "and 2 more", and
# each container is the terminal program's.
dir=$(new_dir)
for name in alpha beta gamma; do head -c 4000 /dev/urandom >"$dir/$name.txt"; done
start_gtk "$dir" alpha.txt beta.txt gamma.txt
if main_window '^Ovalith 2.0$' set-encrypt >/dev/null; then
  type_passwords "$PW" "$PW"
fi
finish_gtk
expect "three plain files: status" "$STATUS" 0
for name in alpha beta gamma; do
  expect_same_file "three plain files: $name.ov2 as the terminal program's" \
    "$dir/$name.ov2" "$(terminal_encrypt "$dir/$name.txt" "$PW")"
done

# The three containers: the decrypt window, one password, each restored.
mkdir "$dir/plain"
mv "$dir"/*.txt "$dir/plain/"
start_gtk "$dir" alpha.ov2 beta.ov2 gamma.ov2
if main_window '^Decrypt$' set-decrypt >/dev/null; then
  type_text "$PW"
  keys Return
fi
finish_gtk
expect "three containers: status" "$STATUS" 0
for name in alpha beta gamma; do
  expect_same_file "three containers: $name.txt restored" "$dir/$name.txt" \
    "$dir/plain/$name.txt"
done

# A container and a plain file: both passwords asked, each file in its own
# mode.
dir2=$(new_dir)
cp "$dir/alpha.ov2" "$dir2/"
head -c 3000 /dev/urandom >"$dir2/delta.dat"
start_gtk "$dir2" alpha.ov2 delta.dat
if main_window '^Ovalith 2.0$' set-mixed >/dev/null; then
  type_passwords "$PW" "$PW"
fi
finish_gtk
expect "mixed set: status" "$STATUS" 0
expect_same_file "mixed set: the container restored" "$dir2/alpha.txt" \
  "$dir/plain/alpha.txt"
expect_same_file "mixed set: the plain file encrypted" "$dir2/delta.ov2" \
  "$(terminal_encrypt "$dir2/delta.dat" "$PW")"

# An existing output in a set: the question names it; Enter answers No
# (the file is kept and the others go on), then the summary; status 2.
dir=$(new_dir)
head -c 3000 /dev/urandom >"$dir/first.txt"
head -c 3000 /dev/urandom >"$dir/second.txt"
echo "old container" >"$dir/first.ov2"
start_gtk "$dir" first.txt second.txt
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "$PW" "$PW"
  answer_box "set: the overwrite question" question-in-set Return
  answer_box "set: the summary of the files not done" summary-declined Return
fi
finish_gtk
expect "set, overwrite declined: status" "$STATUS" 2
expect "set, overwrite declined: old container kept" "$(cat "$dir/first.ov2")" \
  "old container"
expect_same_file "set, overwrite declined: the other file done" \
  "$dir/second.ov2" "$(terminal_encrypt "$dir/second.txt" "$PW")"

# Escape at the question stops the set: the files after it are not touched.
rm "$dir/second.ov2"
start_gtk "$dir" first.txt second.txt
if main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "$PW" "$PW"
  answer_box "set: the overwrite question again" "" Escape
  answer_box "set: the summary after stopping" summary-stopped Return
fi
finish_gtk
expect "set, stopped at the question: status" "$STATUS" 2
expect "set, stopped at the question: nothing written" \
  "$(ls "$dir" | tr '\n' ' ')" "first.ov2 first.txt second.txt "
