#!/usr/bin/python3
"""How fast the page encrypts and decrypts a 64 MiB file in headless
Chromium, per cipher module: from the click on OK to the finished download,
and to the moment the page offers the result.
    page_speed.py PAGE [RUNS]"""
import os
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402

SIZE = 64 << 20
PASSWORD = "speed test"


def timed(b, path, output, encrypt, portable):
    b.clear_downloads()
    b.open(portable=portable)
    b.choose([path])
    b.wait_dialog()
    b.type_passwords(PASSWORD, PASSWORD if encrypt else None)
    b.driver.execute_script("""
        window.offeredAt = 0;
        new MutationObserver(() => { window.offeredAt = window.offeredAt || performance.now(); })
            .observe(document.getElementById("results"), {childList: true});
        window.clickedAt = performance.now();
        document.getElementById("cmdOK").click();""")
    start = time.monotonic()
    b.download(output)
    total = time.monotonic() - start
    offered = b.driver.execute_script("return (window.offeredAt - window.clickedAt) / 1000")
    return total, offered


def main(page, runs=3):
    work = tempfile.mkdtemp(prefix="ovalith-speed-")
    plain = os.path.join(work, "big.bin")
    with open(plain, "wb") as f:
        f.write(os.urandom(SIZE))
    # A browser of its own for each case: headless Chromium keeps Blobs in
    # memory only, and a long run of 64 MiB results would fill it.
    def browser(case):
        return Browser(page, os.path.join(work, "downloads", case))
    try:
        container = os.path.join(work, "big.ov2")
        b = browser("setup")
        timed(b, plain, "big.ov2", True, False)
        shutil.copy(os.path.join(b.downloads, "big.ov2"), container)
        b.quit()
        for module in ("simd128", "portable"):
            for what, path, output, encrypt in (
                    ("encrypt", plain, "big.ov2", True),
                    ("decrypt", container, "big.bin", False)):
                b = browser(module + what)
                try:
                    times = [timed(b, path, output, encrypt,
                                   module == "portable")
                             for _ in range(int(runs))]
                finally:
                    b.quit()
                total = statistics.median(t for t, _ in times)
                offered = statistics.median(o for _, o in times)
                print("%-8s %s 64 MiB: %.0f MB/s to the finished download "
                      "(%.2f s), %.0f MB/s to the offer (%.2f s), median of %d"
                      % (module, what, SIZE / total / 1e6, total,
                         SIZE / offered / 1e6, offered, len(times)), flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
