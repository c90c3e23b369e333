"""The GNOME Files menu item of ovalith-gtk, through the real Nautilus 4.0
bindings (python3-nautilus): offered for local files, one or several, named
after what the program will do with them, and starting one ovalith-gtk on
all of them.
    /usr/bin/python3 nautilus_menu_test.py EXTENSION.py
Prints one line per check; exits 1 if any failed."""
import importlib.util
import os
import stat
import sys
import tempfile
import time

import gi

gi.require_version("Nautilus", "4.0")
from gi.repository import Gio  # noqa: E402

failed = 0


def check(name, ok, detail=""):
    global failed
    print(("  ok   " if ok else "  FAIL ") + name + ("" if ok else ": " + detail))
    failed += 0 if ok else 1


class File:
    """What the extension asks of a Nautilus.FileInfo."""

    def __init__(self, path, directory=False, scheme="file"):
        self.path, self.directory, self.scheme = path, directory, scheme

    def get_uri_scheme(self):
        return self.scheme

    def is_directory(self):
        return self.directory

    def get_location(self):
        return Gio.File.new_for_path(self.path)

    def get_name(self):
        return os.path.basename(self.path)


spec = importlib.util.spec_from_file_location("ovalith_menu", sys.argv[1])
extension = importlib.util.module_from_spec(spec)
spec.loader.exec_module(extension)
menu = extension.OvalithMenu()


def labels(files):
    return [item.props.label for item in menu.get_file_items(files)]


check("a plain file: Encrypt", labels([File("/d/report.txt")]) == ["Encrypt with Ovalith"])
check("a container: Decrypt", labels([File("/d/report.ov2")]) == ["Decrypt with Ovalith"])
check("a.b.ov2 is encrypted, as the program does",
      labels([File("/d/a.b.ov2")]) == ["Encrypt with Ovalith"])
check("no item for a folder", labels([File("/d", directory=True)]) == [])
check("two plain files: Encrypt",
      labels([File("/d/a.txt"), File("/d/b")]) == ["Encrypt with Ovalith"])
check("two containers: Decrypt",
      labels([File("/d/a.ov2"), File("/d/b.ov2")]) == ["Decrypt with Ovalith"])
check("a mixed selection: Encrypt or Decrypt",
      labels([File("/d/a.ov2"), File("/d/b.txt")])
      == ["Encrypt or Decrypt with Ovalith"])
check("no item when a folder is selected too",
      labels([File("/d/a.txt"), File("/d/e", directory=True)]) == [])
check("no item for a remote file", labels([File("/d/a", scheme="sftp")]) == [])

# Activating starts one ovalith-gtk from the search path with every path.
with tempfile.TemporaryDirectory() as bin_dir:
    record = os.path.join(bin_dir, "args")
    fake = os.path.join(bin_dir, "ovalith-gtk")
    with open(fake, "w") as f:
        f.write('#!/bin/sh\nprintf "%s\\n" "$@" >> "' + record + '.tmp"\n'
                'mv "' + record + '.tmp" "' + record + '"\n')
    os.chmod(fake, stat.S_IRWXU)
    os.environ["PATH"] = bin_dir + os.pathsep + os.environ["PATH"]
    paths = ["/some dir/my notes.txt", "/some dir/--help", "/d/x.ov2"]
    menu.get_file_items([File(p) for p in paths])[0].activate()
    deadline = time.monotonic() + 10
    while not os.path.exists(record) and time.monotonic() < deadline:
        time.sleep(0.05)
    got = open(record).read() if os.path.exists(record) else "(not started)"
    check("activating starts one ovalith-gtk on all the files",
          got == "--\n" + "\n".join(paths) + "\n", repr(got))

sys.exit(1 if failed else 0)
