#!/usr/bin/python3
"""The page in headless Chromium, opened from disk and driven through its
element ids: containers byte-identical to the desktop program's and to
OpenSSL's DES, several files at once, the refusals and their messages,
keyboard-only use, both cipher modules, the network log, screenshots.
    page_test.py PAGE DESKTOP_PROGRAM ARTIFACT_DIR"""
import contextlib
import functools
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402
from des_oracle import expected_container, fold_key, des_ecb  # noqa: E402

PASSWORD = "pass word 1"
SIZES = [0, 1, 7, 8, 9, 3 * 1024 * 1024 + 5]


class Checks:
    def __init__(self):
        self.failures = 0

    def expect(self, ok, what):
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        if not ok:
            self.failures += 1


def desktop_container(program, plain_path, password, work):
    """The desktop program's container of a file (/pw=, in a copy)."""
    name = os.path.basename(plain_path)
    os.makedirs(work, exist_ok=True)
    shutil.copy(plain_path, os.path.join(work, name))
    subprocess.run([program, os.path.join(work, name), "/pw=" + password],
                   stdin=subprocess.DEVNULL, check=True, timeout=60)
    with open(os.path.join(work, name.split(".")[0] + ".ov2"), "rb") as f:
        return f.read()


@contextlib.contextmanager
def serve(directory):
    """A static web server on the loopback address for the life of the
    block; its base URL."""
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield "http://127.0.0.1:%d" % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(page, program, artifacts):
    checks = Checks()
    work = tempfile.mkdtemp(prefix="ovalith-web-")
    inputs = os.path.join(work, "in")
    os.makedirs(inputs)
    plain = {}
    for size in SIZES:
        name = "size%d.txt" % size
        plain[name] = os.urandom(size)
        write(os.path.join(inputs, name), plain[name])

    browser = Browser(page, os.path.join(work, "downloads"))
    try:
        b = browser
        checks.expect(os.path.getsize(page) <= 1 << 20,
                      "the page is %d bytes, at most 1 MiB" % os.path.getsize(page))
        b.open()
        checks.expect(b.cipher_path() == "simd128",
                      "the SIMD128 module is chosen where the browser has SIMD")
        checks.expect("files never leave this device" in b.page_text(),
                      "the page says files never leave the device")

        # Encrypt every size as one set (one password), then compare each.
        b.choose([os.path.join(inputs, n) for n in plain])
        b.answer_dialog(PASSWORD, PASSWORD, expect_caption="Encrypt")
        b.wait_set_done()
        checks.expect(b.status() == "0", "the set ends as done (0)")
        containers = {}
        for name, data in plain.items():
            cname = name.split(".")[0] + ".ov2"
            got = b.download(cname)
            containers[cname] = got
            checks.expect(got == expected_container(data, b"txt",
                                                    PASSWORD.encode()),
                          "%s encrypted as OpenSSL's DES builds it" % name)
            checks.expect(got == desktop_container(
                program, os.path.join(inputs, name), PASSWORD,
                os.path.join(work, "desktop")),
                "%s encrypted as the desktop program does" % name)

        # Decrypt the desktop program's containers, on both modules.
        desktop_dir = os.path.join(work, "desktop")
        for module in ("simd128", "portable"):
            b.clear_downloads()
            b.open(portable=module == "portable")
            checks.expect(b.cipher_path() == module,
                          "the %s module is used when asked for" % module)
            names = sorted(n for n in os.listdir(desktop_dir) if n.endswith(".ov2"))
            b.choose([os.path.join(desktop_dir, n) for n in names])
            b.answer_dialog(PASSWORD, None, expect_caption="Decrypt")
            b.wait_set_done()
            for cname in names:
                pname = cname[:-4] + ".txt"
                checks.expect(b.download(pname) == plain[pname],
                              "%s decrypted (%s) byte for byte" % (cname, module))

        # A wrong password: the message, and nothing offered.
        b.clear_downloads()
        b.open()
        one = os.path.join(desktop_dir, "size9.ov2")
        b.choose([one])
        b.answer_dialog("not the password", None)
        text = b.message_text()
        checks.expect(text == "Wrong password or not an Ovalith 2.0 file",
                      "a wrong password is told: %r" % text)
        b.message_answer("OK")
        b.cancel()
        b.wait_set_done()
        checks.expect(b.downloaded_names() == [],
                      "nothing is offered after a wrong password")

        # Damaged containers: one cut by a block, one whose trailer was
        # replaced; a message each and nothing offered.
        cut = os.path.join(work, "cut.ov2")
        write(cut, containers["size9.ov2"][:-8])
        bad_trailer = os.path.join(work, "trailer.ov2")
        key = fold_key(PASSWORD.encode())
        write(bad_trailer, containers["size9.ov2"][:-8] +
              des_ecb(b"Ov2End.x", key))
        for path in (cut, bad_trailer):
            b.clear_downloads()
            b.open()
            b.choose([path])
            b.answer_dialog(PASSWORD, None)
            text = b.message_text()
            checks.expect(bool(text) and "Wrong password" not in text,
                          "%s is refused: %r" % (os.path.basename(path), text))
            b.message_answer("OK")
            b.wait_set_done()
            checks.expect(b.downloaded_names() == [],
                          "nothing is offered from %s" % os.path.basename(path))

        # A mixed set: a plain file and another file's container; OK reads
        # "OK"; one damaged container among them is reported at the end
        # and the others are done.
        b.clear_downloads()
        b.open()
        b.choose([os.path.join(inputs, "size8.txt"),
                  os.path.join(desktop_dir, "size1.ov2"), cut])
        b.answer_dialog(PASSWORD, PASSWORD, expect_caption="OK")
        text = b.message_text()
        checks.expect(text.startswith("1 of 3 files was not done:") and "cut.ov2" in text,
                      "the summary names the damaged container: %r" % text)
        b.message_answer("OK")
        b.wait_set_done()
        checks.expect(b.status() == "1", "a set with a failed file ends with 1")
        checks.expect(b.download("size8.ov2") == containers["size8.ov2"] and
                      b.download("size1.txt") == plain["size1.txt"],
                      "the other files of the set are done")

        # A wrong password for a set of containers: told once, before
        # anything is written.
        b.clear_downloads()
        b.open()
        b.choose([os.path.join(desktop_dir, n) for n in ("size1.ov2", "size7.ov2")])
        b.answer_dialog("wrong password", None)
        checks.expect(b.message_text() == "Wrong password or not an Ovalith 2.0 file",
                      "a wrong password for a set is told")
        b.message_answer("OK")
        b.cancel()
        b.wait_set_done()
        checks.expect(b.downloaded_names() == [] and b.status() == "2",
                      "nothing is offered from a set after a wrong password")

        # Existing outputs inside a set: Yes / No / Cancel, No by default.
        b.clear_downloads()
        b.open()
        b.choose([os.path.join(inputs, "size9.txt"), os.path.join(desktop_dir, "size9.ov2")])
        b.answer_dialog(PASSWORD, PASSWORD)
        text = b.message_text()
        checks.expect(text == "File already exists !\nsize9.ov2\nOverwrite ?",
                      "an existing output is asked about: %r" % text)
        checks.expect(b.box_buttons() == ["Yes", "No", "Cancel"] and
                      b.focused_text() == "No", "Yes, No, Cancel; No is the default")
        b.keys("ENTER")
        b.message_text()
        b.message_answer("Cancel")
        text = b.message_text()
        checks.expect(text.startswith("2 of 2 files were not done:"),
                      "declined and stopped files are summed up: %r" % text)
        b.message_answer("OK")
        b.wait_set_done()
        checks.expect(b.downloaded_names() == [] and b.status() == "2",
                      "nothing is offered when every output was declined")

        # Stop: asked for with the OK click, seen before the set is done.
        b.clear_downloads()
        b.open()
        names = ["size%d.txt" % n for n in (3145733, 9, 7, 1)]
        b.choose([os.path.join(inputs, n) for n in names])
        b.wait_dialog()
        b.type_passwords(PASSWORD, PASSWORD)
        b.click_ok_and_stop()
        text = b.message_text()
        checks.expect("stopped" in text, "a stopped set says so: %r" % text)
        b.message_answer("OK")
        b.wait_set_done()
        checks.expect(b.status() == "2" and len(b.offered()) < len(names),
                      "a stopped set ends with 2, not every file offered")

        # Passwords are folded in Windows-1252, as the desktop programs do;
        # a character outside it is refused.
        b.clear_downloads()
        b.open()
        b.choose([os.path.join(inputs, "size9.txt")])
        b.answer_dialog("pässwörd", "pässwörd")
        checks.expect(b.download("size9.ov2") == expected_container(
            plain["size9.txt"], b"txt", "pässwörd".encode("cp1252")),
            "a password with accents gives the Windows-1252 key")
        checks.expect(b.download("size9.ov2") == desktop_container(
            program, os.path.join(inputs, "size9.txt"), "pässwörd",
            os.path.join(work, "desktop-accents")),
            "and the desktop program's container")
        b.wait_set_done()
        b.clear_downloads()
        b.choose([os.path.join(inputs, "size9.txt")])
        b.answer_dialog("密码密码", "密码密码")
        text = b.message_text()
        checks.expect("Windows-1252" in text, "a password outside the code page is refused: %r" % text)
        b.message_answer("OK")
        b.cancel()
        b.wait_set_done()

        # A name whose extension could not be restored where the download
        # may land is never encrypted.
        b.clear_downloads()
        b.open()
        odd = os.path.join(work, "odd.a:b")
        write(odd, b"odd")
        b.choose([odd])
        text = b.message_text()
        checks.expect("could not be restored" in text,
                      "an unrestorable extension is refused: %r" % text)
        b.message_answer("OK")
        b.wait_set_done()
        checks.expect(b.downloaded_names() == [], "nothing is offered for it")

        # The password checks of encryption.
        b.clear_downloads()
        b.open()
        b.choose([os.path.join(inputs, "size1.txt")])
        b.answer_dialog("abc", "abc")
        checks.expect(b.message_text() == "The password must be at least 4 characters.",
                      "a short password is refused")
        b.message_answer("OK")
        b.answer_dialog("abcd", "abce")
        checks.expect(b.message_text() == "Both passwords are not equal !!",
                      "unequal passwords are refused")
        b.message_answer("OK")
        b.cancel()
        b.wait_set_done()
        checks.expect(b.downloaded_names() == [],
                      "nothing is offered after the refusals")

        # Keyboard only: Tab, Enter and Escape.
        b.clear_downloads()
        b.open()
        b.choose([os.path.join(inputs, "size7.txt")])
        b.wait_dialog()
        checks.expect(b.focused_id() == "txtPW1", "the first password box has the focus")
        b.keys(PASSWORD, "TAB", PASSWORD, "ENTER")
        b.wait_set_done()
        checks.expect(b.download("size7.ov2") == containers["size7.ov2"],
                      "encrypted with the keyboard alone")
        b.clear_downloads()
        b.choose([os.path.join(inputs, "size7.txt"), os.path.join(inputs, "size8.txt")])
        b.wait_dialog()
        b.keys("abc", "TAB", "abc", "ENTER")
        checks.expect(b.message_text() == "The password must be at least 4 characters.",
                      "Enter submits the dialog")
        b.keys("ENTER")
        b.wait_dialog()
        # After a refusal both boxes are typed over, not added to.
        b.keys(PASSWORD, "TAB", PASSWORD, "ENTER")
        b.wait_set_done()
        checks.expect(b.download("size7.ov2") == containers["size7.ov2"] and
                      b.download("size8.ov2") == containers["size8.ov2"],
                      "after a refusal the passwords are typed anew")
        b.clear_downloads()
        b.choose([os.path.join(inputs, "size7.txt")])
        b.wait_dialog()
        b.keys("ESCAPE")
        b.wait_set_done()
        checks.expect(b.downloaded_names() == [] and b.status() == "2",
                      "Escape cancels, nothing offered")

        # The network log: nothing but the page itself, data: and blob:.
        urls = b.requested_urls()
        foreign = [u for u in urls if not u.startswith(("file:", "data:", "blob:"))]
        checks.expect(urls != [] and foreign == [],
                      "no request leaves the device (%d requests, foreign: %s)"
                      % (len(urls), foreign[:3]))
        checks.expect(b.fetch_refused(), "the page's policy refuses connections")

        # Files dropped on the page are taken as chosen ones.
        b.clear_downloads()
        b.open()
        b.drop_file("dropped.txt", "dropped on the page")
        b.answer_dialog(PASSWORD, PASSWORD)
        checks.expect(b.download("dropped.ov2") == expected_container(
            b"dropped on the page", b"txt", PASSWORD.encode()),
            "a dropped file is encrypted")
        b.wait_set_done()

        # From a web server as from disk.
        with serve(os.path.dirname(os.path.abspath(page))) as base:
            b.clear_downloads()
            b.url = base + "/" + os.path.basename(page)
            b.open()
            b.choose([os.path.join(desktop_dir, "size8.ov2")])
            b.answer_dialog(PASSWORD, None)
            checks.expect(b.download("size8.txt") == plain["size8.txt"],
                          "served over HTTP, it decrypts as from disk")
            b.wait_set_done()
            b.url = "file://" + os.path.abspath(page)

        # Screenshots: light, dark, narrow, each with the dialog waiting.
        os.makedirs(artifacts, exist_ok=True)
        for shot, dark, width in (("light", False, 900), ("dark", True, 900),
                                  ("narrow", False, 360)):
            b.clear_downloads()
            b.look(dark, width)
            b.open()
            b.choose([os.path.join(inputs, "size9.txt")])
            b.wait_dialog()
            b.keys("secret")
            path = os.path.join(artifacts, "page-%s.png" % shot)
            b.screenshot(path)
            checks.expect(os.path.getsize(path) > 0, "screenshot %s" % path)
            if shot == "narrow":
                checks.expect(b.fits_width(), "the page fits a narrow screen")
            b.cancel()
            b.wait_set_done()
        # A set waiting for its password, and a message box over it.
        b.look(False, 900)
        b.open()
        b.choose([os.path.join(inputs, n) for n in sorted(plain)])
        b.wait_dialog()
        checks.expect(b.driver.find_element("id", "lblFile").text.endswith("and 5 more"),
                      "a set is shown as its first file and how many more")
        b.screenshot(os.path.join(artifacts, "page-set.png"))
        b.keys("abc", "TAB", "abc", "ENTER")
        b.message_text()
        b.screenshot(os.path.join(artifacts, "page-message.png"))
        b.keys("ENTER")
        b.cancel()
        b.wait_set_done()
    finally:
        browser.quit()
        shutil.rmtree(work, ignore_errors=True)
    print("%d failure(s)" % checks.failures)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
