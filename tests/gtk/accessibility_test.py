"""ovalith-gtk read as a screen reader reads it, through AT-SPI: the password
boxes named by their labels, the list of files behind "and 1 more", the
progress bar's name and step, and message boxes announced as alerts, the
usage box ending with the cause.
    /usr/bin/python3 accessibility_test.py OVALITH-GTK WORK-DIR
Run inside its own D-Bus session (dbus-run-session) on an X display, with
GTK_A11Y unset.  Prints one line per check; exits 1 if any failed."""
import os
import subprocess
import sys
import time

import pyatspi

program, work = sys.argv[1], sys.argv[2]
failed = 0


def check(name, ok, detail=""):
    global failed
    print(("  ok   " if ok else "  FAIL ") + name + ("" if ok else ": " + detail))
    failed += 0 if ok else 1


def nodes(node):
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def wait_for(find, what, seconds=20):
    """The first non-empty result of find(), polled with a bound."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # a window going away mid-walk
            found = None
        if found:
            return found
        time.sleep(0.1)
    check(what, False, "not there within %d s" % seconds)
    return None


def window(role, name=None):
    """A top-level window of the program with that role (and name)."""
    def find():
        for app in pyatspi.Registry.getDesktop(0):
            if app is None or app.name != "ovalith-gtk":
                continue
            for top in app:
                if top is not None and top.getRoleName() == role and (
                    name is None or top.name == name
                ):
                    return top
        return None
    return find


def labelled_by(node):
    return [
        rel.getTarget(i).name
        for rel in node.getRelationSet()
        if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY
        for i in range(rel.getNTargets())
    ]


def xdotool(*args):
    subprocess.run(["xdotool"] + list(args), check=False)


def start(*args):
    return subprocess.Popen([program] + list(args), cwd=work,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def ended(process):
    """The program's status, once it ended (within a bound)."""
    try:
        status = process.wait(timeout=60)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        status = "still running"
    return status


def focus_window(title):
    ids = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", title],
                         capture_output=True, text=True, timeout=30).stdout.split()
    if ids:
        xdotool("windowfocus", "--sync", ids[0])


bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
try:
    # The main window of a set: boxes named by their labels, the list of
    # files as the description of "report.txt and 1 more".
    with open(os.path.join(work, "report.txt"), "w") as f:
        f.write("report\n")
    with open(os.path.join(work, "notes.txt"), "w") as f:
        f.write("notes\n")
    p = start("report.txt", "notes.txt")
    main = wait_for(window("frame", "Ovalith 2.0"), "the main window")
    if main:
        texts = [n for n in nodes(main) if n.getRoleName() in ("text", "password text")]
        check("two password boxes", len(texts) == 2, str([t.name for t in texts]))
        for box, label in zip(texts, ["Enter password :", "Enter password again :"]):
            check("box named '%s'" % label, box.name == label, repr(box.name))
            check("box labelled by '%s'" % label, labelled_by(box) == [label],
                  str(labelled_by(box)))
        files = [n for n in nodes(main) if n.name == "report.txt and 1 more"]
        check("the set's label", len(files) == 1)
        if files:
            check("the whole list as its description",
                  files[0].description == "report.txt\nnotes.txt",
                  repr(files[0].description))
        buttons = sorted(n.name for n in nodes(main) if n.getRoleName() == "push button")
        check("buttons named by their captions", buttons == ["Cancel", "Encrypt"],
              str(buttons))
        focus_window("^Ovalith 2.0$")
        xdotool("key", "Escape")
    ended(p)

    # The progress bar of a long run, named after what it does, the step
    # as its description; Escape stops the run and the summary is an alert.
    subprocess.run(["truncate", "-s", "1G", os.path.join(work, "big.img")], check=True)
    # The slowest cipher path: long enough to be read on any machine.
    os.environ["OVALITH_DES_PATH"] = "word64"
    p = start("big.img", "report.txt")
    if wait_for(window("frame", "Ovalith 2.0"), "the main window of a long run"):
        focus_window("^Ovalith 2.0$")
        xdotool("type", "--delay", "30", "long run")
        xdotool("key", "Tab")
        xdotool("type", "--delay", "30", "long run")
        xdotool("key", "Return")
        progress = wait_for(window("frame", "Encrypting..."), "the progress window")
        if progress:
            bars = [n for n in nodes(progress) if n.getRoleName() == "progress bar"]
            check("one progress bar", len(bars) == 1)
            if bars:
                check("the bar named 'Encrypting...'", bars[0].name == "Encrypting...",
                      repr(bars[0].name))
                check("the step as its description",
                      bars[0].description == "1 of 2: big.img", repr(bars[0].description))
            focus_window("^Encrypting\\.\\.\\.$")
            xdotool("key", "Escape")
            summary = wait_for(window("alert", "Ovalith"), "the summary as an alert")
            if summary:
                check("the summary's text",
                      summary.description.startswith("2 of 2 files were not done"),
                      repr(summary.description))
                focus_window("^Ovalith$")
                xdotool("key", "Return")
    check("the stopped run: status 2", ended(p) == 2)
    os.remove(os.path.join(work, "big.img"))
    del os.environ["OVALITH_DES_PATH"]

    # The usage message: an alert whose last line is the cause.
    p = start("no-such-file.txt")
    usage = wait_for(window("alert", "Ovalith"), "the usage message as an alert")
    if usage:
        lines = usage.description.split("\n")
        check("the usage text first", lines[0] == "File not found !!", repr(lines[0]))
        check("the cause as the last line",
              lines[-1].endswith("no-such-file.txt: no such file"), repr(lines[-1]))
        icons = [n.name for n in nodes(usage) if n.getRoleName() == "image"]
        check("the icon named", icons == ["Warning"], str(icons))
        focus_window("^Ovalith$")
        xdotool("key", "Return")
    check("the usage message: status 1", ended(p) == 1)
finally:
    bus.terminate()
    bus.wait()

sys.exit(1 if failed else 0)
