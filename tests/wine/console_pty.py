#!/usr/bin/env python3
"""console_pty.py: runs a console program on a pseudo-terminal (under Wine,
its console is then the terminal) and plays a user at it.

  console_pty.py TRANSCRIPT SECONDS STEP... -- COMMAND...

Steps, in order:  expect:TEXT waits until TEXT appears after what the last
wait found; send:TEXT types TEXT (Python escapes: \\r, \\x03); file:GLOB
waits until a file matches GLOB; keys waits until the terminal delivers
keys unechoed (Wine's console takes the terminal into raw mode only a
moment after the program's first output); hangup closes the terminal and
ends the steps.  Every wait is bounded by SECONDS.  Then
the program's end is awaited.  Writes all the terminal showed to
TRANSCRIPT; exits with the program's status, 124 when a wait ran out (the
line 'timed out: STEP' says which), 125 when the program ended by a signal.
"""
import glob
import os
import pty
import select
import signal
import sys
import termios
import time


def main():
    transcript, seconds = sys.argv[1], float(sys.argv[2])
    split = sys.argv.index("--")
    steps, command = sys.argv[3:split], sys.argv[split + 1:]
    pid, fd = pty.fork()
    if pid == 0:
        # A hangup must reach the program as on any terminal, even when this
        # runs under nohup, whose ignored SIGHUP would pass on through exec.
        signal.signal(signal.SIGHUP, signal.SIG_DFL)
        os.execvp(command[0], command)
    shown = bytearray()
    found = 0

    def read_for(limit):
        r, _, _ = select.select([fd], [], [], limit)
        if not r:
            return True
        try:
            data = os.read(fd, 65536)
        except OSError:
            return False
        shown.extend(data)
        return bool(data)

    def save():
        with open(transcript, "wb") as f:
            f.write(bytes(shown))

    def give_up(step):
        save()
        print("timed out: " + step, file=sys.stderr)
        os.kill(pid, 9)
        os.waitpid(pid, 0)
        sys.exit(124)

    for step in steps:
        kind, _, arg = step.partition(":")
        deadline = time.monotonic() + seconds
        if kind == "hangup":  # the terminal closes, as its window would
            save()
            os.close(fd)
            _, status = os.waitpid(pid, 0)
            sys.exit(os.WEXITSTATUS(status) if os.WIFEXITED(status) else 125)
        if kind == "send":
            os.write(fd, arg.encode("utf-8").decode("unicode_escape")
                     .encode("latin-1"))
            continue
        while True:
            if kind == "expect":
                at = shown.find(arg.encode("utf-8"), found)
                if at >= 0:
                    found = at + len(arg.encode("utf-8"))
                    break
            elif kind == "file" and glob.glob(arg):
                break
            elif kind == "keys" and not (
                    termios.tcgetattr(fd)[3] & (termios.ECHO | termios.ICANON)):
                break
            if time.monotonic() > deadline or not read_for(0.05):
                if time.monotonic() > deadline:
                    give_up(step)
                if kind == "expect":
                    give_up(step + " (the program ended)")
    deadline = time.monotonic() + seconds
    while read_for(0.1):
        if time.monotonic() > deadline:
            give_up("the program's end")
    _, status = os.waitpid(pid, 0)
    save()
    sys.exit(os.WEXITSTATUS(status) if os.WIFEXITED(status) else 125)


main()
