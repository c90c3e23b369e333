#!/usr/bin/env bash
# wine-setup.sh: what the Windows cross build, its packages and its tests
# under Wine need; where the kernel runs no 32-bit code, also qemu-i386
# emulation for Wine's 32-bit loader (scripts/i386-emulation.sh).
set -euo pipefail
bash "$(dirname "$0")/../scripts/install-deps.sh" build windows
