#!/usr/bin/env bash
# Builds the program (installing what the build lacks) and runs it:
#   ./run.sh FILE [/pw=PASSWORD]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/scripts/install-deps.sh"
cmake -S "$here" --preset release >/dev/null
cmake --build "$here/build/release" -j"$(nproc)" --target ovalith ovalith_cipher >/dev/null
exec "$here/build/release/ovalith" "$@"
