#!/usr/bin/env python3
"""Makes the one self-contained page from its template, its style and
scripts, the Emscripten glue and the two WebAssembly modules."""
import argparse
import base64
import re
import sys

parser = argparse.ArgumentParser()
for name in ("template", "css", "page-js", "host-js", "glue", "glue-simd128",
             "wasm-portable", "wasm-simd128", "output"):
    parser.add_argument("--" + name, required=True)
parser.add_argument("--max-bytes", type=int, default=1 << 20)
args = parser.parse_args()


def text(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def module(path):
    with open(path, "rb") as f:
        return base64.b64encode(f.read()).decode("ascii")


glue = text(args.glue)
# One glue serves both modules, so both must have been linked alike (the
# module is handed over, never fetched by its file name).
simd128_glue = text(args.glue_simd128).replace(
    "ovalith_web_simd128.wasm", "ovalith_web_portable.wasm")
# The linker may list the same exports in another order.
if sorted(glue.split(";")) != sorted(simd128_glue.split(";")):
    sys.exit("assemble_page: the two modules' glue differs")
worker = glue + "\n" + text(args.host_js)
# Inline script text ends at the first "</script"; "<!--" changes how the
# parser looks for it.
for part in (worker, text(args.page_js)):
    if re.search(r"</script|<!--", part, re.IGNORECASE):
        sys.exit("assemble_page: a script holds text that would end it early")

page = text(args.template)
for key, value in (("@PAGE_CSS@", text(args.css)),
                   ("@WASM_PORTABLE@", module(args.wasm_portable)),
                   ("@WASM_SIMD128@", module(args.wasm_simd128)),
                   ("@WORKER_JS@", worker),
                   ("@PAGE_JS@", text(args.page_js))):
    if page.count(key) != 1:
        sys.exit("assemble_page: the template must hold " + key + " once")
    page = page.replace(key, value)

data = page.encode("utf-8")
if len(data) > args.max_bytes:
    sys.exit("assemble_page: the page is %d bytes, more than %d"
             % (len(data), args.max_bytes))
with open(args.output, "wb") as f:
    f.write(data)
