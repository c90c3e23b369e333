#!/usr/bin/env bash
# Lets this machine run 32-bit x86 Linux programs (Wine's 32-bit loader, so
# the shipping 32-bit ovalith.exe) when its kernel cannot: qemu-i386 user
# emulation, registered with binfmt_misc.  Does nothing where a 32-bit probe
# runs natively, or where the registration is already in place.
#   scripts/i386-emulation.sh            probe, set up if needed
#   OVALITH_I386_EMULATION=always ...    set up even where the kernel could
#                                        (to test this path)
#   scripts/i386-emulation.sh --remove   drop the registration
# qemu 7.2 of Debian 12 is too old for Wine ("failed to map the shared user
# data"); the static qemu-i386 of the backports' qemu-user (10.0) works.  It
# is fetched with a private apt configuration: no source is added to the
# system and no package is installed.
set -euo pipefail

QEMU=/usr/local/lib/ovalith/qemu-i386
BINFMT=/proc/sys/fs/binfmt_misc
ENTRY=$BINFMT/ovalith-i386
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

say() { echo "i386-emulation: $*" >&2; }

if [ "${1:-}" = "--remove" ]; then
  [ -e "$ENTRY" ] && echo -1 | $sudo tee "$ENTRY" >/dev/null
  exit 0
fi

# A 32-bit process that does what Wine's 32-bit loader needs first: an LDT
# data segment loaded into %fs.  Exits 0 only if all of it works.
probe_i386() {
  local dir status=0
  dir=$(mktemp -d)
  cat >"$dir/probe.s" <<'ASM'
        .text
        .globl _start
_start: mov $123, %eax          # modify_ldt(1, &desc, 16)
        mov $1, %ebx
        mov $desc, %ecx
        mov $16, %edx
        int $0x80
        test %eax, %eax
        jnz fail
        mov $7, %eax            # LDT entry 0, privilege 3
        mov %ax, %fs
        mov %fs:0, %ebx         # exit(word), that is 0
        mov $1, %eax
        int $0x80
fail:   mov $1, %eax
        mov $1, %ebx
        int $0x80
        .data
word:   .long 0
desc:   .long 0, word, 0xfff, 1 # entry, base, limit, 32-bit data segment
ASM
  if as --32 -o "$dir/probe.o" "$dir/probe.s" &&
    ld -m elf_i386 -o "$dir/probe" "$dir/probe.o"; then
    "$dir/probe" 2>/dev/null || status=$?
  else
    say "cannot build the 32-bit probe (binutils)"
    status=2
  fi
  rm -rf "$dir"
  return "$status"
}

registered() {
  [ -e "$ENTRY" ] && grep -qx enabled "$ENTRY" &&
    grep -qx "interpreter $QEMU" "$ENTRY" && [ -x "$QEMU" ]
}

if registered; then
  exit 0
fi
if [ "${OVALITH_I386_EMULATION:-}" != always ] && probe_i386; then
  exit 0
fi
say "setting up qemu-i386 user emulation for 32-bit programs"

qemu_usable() {
  local major
  major=$("$QEMU" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
  [ -n "$major" ] && [ "$major" -ge 8 ]
}

fetch_qemu() {
  local codename arch mirror work deb
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  arch=$(dpkg --print-architecture)
  # The backports suite of the mirror this machine's own sources name.
  mirror=$(apt-cache policy | awk -v suite="$codename/main" \
    '$3 == suite && $2 ~ /^(https?|file):/ {print $2; exit}')
  if [ -z "$codename" ] || [ -z "$mirror" ]; then
    say "no Debian mirror for '$codename' in this machine's apt sources"
    return 1
  fi
  work=$(mktemp -d)
  mkdir -p "$work/lists/partial" "$work/archives/partial" "$work/parts" \
    "$work/cache"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "$mirror $codename-backports main" >"$work/sources.list"
  local apt=(apt-get -q -o "Dir::Etc::SourceList=$work/sources.list"
    -o "Dir::Etc::SourceParts=$work/parts" -o "Dir::State::Lists=$work/lists"
    -o "Dir::Cache=$work/cache" -o "Dir::Cache::Archives=$work/archives"
    -o "APT::Architecture=$arch" -o "APT::Architectures=$arch")
  say "fetching qemu-user from $mirror $codename-backports"
  if ! "${apt[@]}" update >"$work/apt.log" 2>&1 ||
    ! (cd "$work" && "${apt[@]}" download "qemu-user/$codename-backports" \
      >>"$work/apt.log" 2>&1); then
    cat "$work/apt.log" >&2
    rm -rf "$work"
    return 1
  fi
  deb=$(ls "$work"/qemu-user_*.deb)
  dpkg-deb -x "$deb" "$work/root"
  $sudo install -D -m 755 "$work/root/usr/bin/qemu-i386" "$QEMU"
  rm -rf "$work"
}

if ! qemu_usable; then
  fetch_qemu || exit 1
  qemu_usable || { say "$QEMU does not run"; exit 1; }
fi
say "$("$QEMU" --version | head -1)"

if [ ! -e "$BINFMT/register" ]; then
  $sudo modprobe binfmt_misc 2>/dev/null || true
  $sudo mount -t binfmt_misc binfmt_misc "$BINFMT"
fi
[ -e "$ENTRY" ] && echo -1 | $sudo tee "$ENTRY" >/dev/null
# Magic and mask of an i386 ELF executable or shared object; O: the
# interpreter gets an open descriptor, P: argv[0] kept, F: qemu opened now,
# so it works in any mount namespace.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf ':ovalith-i386:M::%s:%s:%s:OPF' "$magic" "$mask" "$QEMU" |
  $sudo tee "$BINFMT/register" >/dev/null
if ! probe_i386; then
  say "32-bit programs still do not run under $QEMU"
  exit 1
fi
say "32-bit programs now run under $QEMU"
