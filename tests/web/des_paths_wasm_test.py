#!/usr/bin/python3
"""The WebAssembly build's DES paths (portable: word64; SIMD128: word64 and
simd128), run under node, against the published answers the native paths'
tests use and against OpenSSL on random blocks under random, weak and
semi-weak keys, for counts around a pass.
    des_paths_wasm_test.py BUILD_DIR"""
import os
import random
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from des_oracle import des_ecb  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "..", "src", "cipher", "library",
                      "des_paths_test.cpp")
MODULES = {"portable": ["word64"], "simd128": ["word64", "simd128"]}
WEAK_KEYS = ["0101010101010101", "FEFEFEFEFEFEFEFE", "1F1F1F1F0E0E0E0E",
             "01FE01FE01FE01FE", "E0FEE0FEF1FEF1FE"]
# Around the passes of 64 and 128 blocks and the three left over alone.
COUNTS = [0, 1, 2, 3, 4, 5, 63, 64, 65, 67, 68, 127, 128, 129, 131, 132, 255,
          256, 259, 260, 1000, 4099]


def published():
    """The answers of des_paths_test.cpp: (key, plain, cipher) in hex."""
    with open(SOURCE) as f:
        table = f.read().split("kPublished[] = {", 1)[1].split("};", 1)[0]
    answers = re.findall(r'\{"(\w{16})", "(\w{16})", "(\w{16})"\}', table)
    assert len(answers) > 20, "the published answers were not found"
    return answers


def main(build):
    rng = random.Random(17)
    cases = []  # (key, encrypt, input, expected)
    for key, plain, cipher in published():
        plain, cipher = bytes.fromhex(plain), bytes.fromhex(cipher)
        cases.append((key, True, plain * 3, cipher * 3))
        cases.append((key, False, cipher * 3, plain * 3))
    keys = WEAK_KEYS + [rng.randbytes(8).hex() for _ in range(4)]
    for i, count in enumerate(COUNTS):
        key = keys[i % len(keys)]
        data = rng.randbytes(8 * count)
        for encrypt in (True, False):
            cases.append((key, encrypt, data,
                          des_ecb(data, bytes.fromhex(key), encrypt)))
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        args = []
        for n, (key, encrypt, data, _) in enumerate(cases):
            with open(os.path.join(tmp, "in%d" % n), "wb") as f:
                f.write(data)
            args += [key, "e" if encrypt else "d", os.path.join(tmp, "in%d" % n),
                     os.path.join(tmp, "out%d" % n)]
        for module, paths in MODULES.items():
            program = os.path.join(build, "des_paths_wasm_check_%s.js" % module)
            for path in paths:
                run = subprocess.run(["node", program, path] + args,
                                     capture_output=True, text=True)
                if run.returncode != 0:
                    print("FAIL %s/%s: %s" % (module, path, run.stderr))
                    failures += 1
                    continue
                wrong = 0
                for n, (key, encrypt, data, expected) in enumerate(cases):
                    with open(os.path.join(tmp, "out%d" % n), "rb") as f:
                        if f.read() != expected:
                            wrong += 1
                            print("FAIL %s/%s: key %s, %s of %d blocks" % (
                                module, path, key,
                                "encryption" if encrypt else "decryption",
                                len(data) // 8))
                failures += wrong
                print("%s %s/%s: %d cases" % ("FAIL" if wrong else "ok",
                                              module, path, len(cases)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
