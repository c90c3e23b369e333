#!/usr/bin/env bash
# wine-setup.sh: what the Windows cross build and its tests under Wine need.
set -euo pipefail
bash "$(dirname "$0")/../scripts/install-deps.sh" build windows
