# t60_desktop.sh: how the desktop starts the program: "--choose" with no
# file opens the file chooser (several files chosen at once, or cancelled),
# and the desktop entry itself, through gio launch, passes the files a file
# manager gives it or, with none, opens the chooser.

PW="from the desktop"
CHOOSER='^Choose files to encrypt or decrypt$'

# Chooses every file of the folder the chooser opens in (its working
# directory) with Ctrl-A and its Open button (Alt-O: Enter would open only
# the row under the cursor).
choose_all() {  # screenshot-name
  local chooser
  if ! chooser=$(wait_window "$CHOOSER"); then
    fail "the file chooser opens" "not shown"
    return 1
  fi
  pass "the file chooser opens"
  focus "$chooser"
  keys ctrl+a
  [ -n "$1" ] && screenshot "$chooser" "$1"
  keys alt+o
}

dir=$(new_dir)
for name in north south; do head -c 3000 /dev/urandom >"$dir/$name.txt"; done
start_gtk "$dir" --choose
if choose_all chooser && main_window '^Ovalith 2.0$' chooser-main >/dev/null; then
  type_passwords "$PW" "$PW"
fi
finish_gtk
expect "--choose, two files chosen: status" "$STATUS" 0
for name in north south; do
  expect_same_file "--choose: $name.ov2 as the terminal program's" \
    "$dir/$name.ov2" "$(terminal_encrypt "$dir/$name.txt" "$PW")"
done

# Cancelled: nothing happens, status 2.
dir=$(new_dir)
echo "kept" >"$dir/kept.txt"
start_gtk "$dir" --choose
if chooser=$(wait_window "$CHOOSER"); then
  focus "$chooser"
  keys Escape
fi
finish_gtk
expect "--choose cancelled: status" "$STATUS" 2
expect "--choose cancelled: nothing written" "$(ls "$dir")" kept.txt

# The desktop entry as installed, its program found on the search path as
# it is once installed.
mkdir -p "$TESTROOT/bin"
ln -sf "$GTK_BUILD/ovalith-gtk" "$TESTROOT/bin/ovalith-gtk"
entry=$(realpath packaging/linux/ovalith.desktop)
launch() {  # dir files...
  local dir=$1
  shift
  (cd "$dir" && PATH="$TESTROOT/bin:$PATH" gio launch "$entry" "$@" \
    >/dev/null 2>"$STDERR_FILE")
}

# Files given to the entry (%F): one window for all of them.
dir=$(new_dir)
for name in east west; do head -c 3000 /dev/urandom >"$dir/$name.txt"; done
launch "$dir" "$dir/east.txt" "$dir/west.txt"
expect "gio launch with two files: status" "$?" 0
if main=$(main_window '^Ovalith 2.0$' desktop-entry-files); then
  type_passwords "$PW" "$PW"
  wait_closed "$main" 30 && pass "gio launch with two files: the window closes" ||
    fail "gio launch with two files: the window closes"
fi
for name in east west; do
  expect_same_file "gio launch: $name.ov2 as the terminal program's" \
    "$dir/$name.ov2" "$(terminal_encrypt "$dir/$name.txt" "$PW")"
done

# No file (the application menu): the chooser.
dir=$(new_dir)
head -c 3000 /dev/urandom >"$dir/menu.txt"
launch "$dir"
if choose_all "" && main=$(main_window '^Ovalith 2.0$'); then
  type_passwords "$PW" "$PW"
  wait_closed "$main" 30
fi
expect_same_file "gio launch with no file: the chosen file encrypted" \
  "$dir/menu.ov2" "$(terminal_encrypt "$dir/menu.txt" "$PW")"
