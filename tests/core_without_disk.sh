#!/bin/sh
# core_without_disk.sh TESTS: runs the core's tests (the binary TESTS) with
# every file system read-only, in a private mount namespace, from a
# read-only working directory and TMPDIR: they must pass without writing to
# the disk.  Exit 77 (skipped) where user namespaces are not allowed.
set -u
tests=$(realpath "$1")
unshare -rm true 2>/dev/null || { echo "no user namespaces: skipped"; exit 77; }
exec unshare -rm sh -c '
  set -e
  mount --rbind / /mnt
  for m in $(findmnt -R -l -n -o TARGET /mnt | sort -r); do
    case "$m" in /mnt/proc*|/mnt/sys*|/mnt/dev*) continue ;; esac
    mount -o remount,bind,ro "$m"
  done
  exec chroot /mnt sh -c "
    cd \"\$(dirname \"$1\")\"
    if touch probe 2>/dev/null || touch /tmp/probe 2>/dev/null; then
      echo \"the disk is still writable\"; exit 1
    fi
    TMPDIR=/tmp exec \"$1\""
' sh "$tests"
