#!/usr/bin/env bash
# Builds the program (installing what the build lacks) and runs it:
#   ./run.sh FILE [/pw=PASSWORD]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/scripts/install-deps.sh" build
(cd "$here" && cmake --preset program >/dev/null &&
  cmake --build --preset program -j"$(nproc)" >/dev/null)
exec "$here/build/program/ovalith" "$@"
