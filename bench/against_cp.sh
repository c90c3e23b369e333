#!/usr/bin/env bash
# against_cp.sh: the program against `cp` of the same file, in the same
# directory, interleaved in one run.
#
#   bench/against_cp.sh [-s MIB] [-n RUNS] [-d DIR] [-f] [OVALITH...]
#
#   -s MIB     size of the random input in MiB (default 256)
#   -n RUNS    timed runs of each command; medians are reported (default 7)
#   -d DIR     where the files go (default /dev/shm, in memory)
#   -f         cp is followed by `sync`, as ovalith flushes its output itself
#              (for a directory on a disk)
#   OVALITH... the programs to time, each in turn within every run (default
#              build/release/ovalith), so that two builds can be compared
set -euo pipefail

size_mib=256
runs=7
dir=/dev/shm
flush=0
while getopts "s:n:d:f" opt; do
  case $opt in
    s) size_mib=$OPTARG ;;
    n) runs=$OPTARG ;;
    d) dir=$OPTARG ;;
    f) flush=1 ;;
    *) sed -n '4,14p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
here=$(cd "$(dirname "$0")" && pwd)
(($# > 0)) || set -- "$here/../build/release/ovalith"
programs=()
for program in "$@"; do
  programs+=("$(realpath "$program")")
  [[ -x ${programs[-1]} ]] || { echo "no program at $program" >&2; exit 2; }
done

work=$(mktemp -d "$dir/ovalith-against-cp.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir enc dec
head -c $((size_mib * 1024 * 1024)) /dev/urandom >enc/data.bin

seconds() {  # seconds COMMAND...: wall time of one run, after a sync
  sync
  local start=$EPOCHREALTIME
  "$@" </dev/null >/dev/null
  printf '%.3f\n' "$(echo "$EPOCHREALTIME - $start" | bc -l)"
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR] = $1} END {
  print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
ratio() { echo "scale=2; $1 / $2" | bc -l | sed 's/^\./0./'; }

copy() {
  rm -f copy.bin
  cp enc/data.bin copy.bin
  if ((flush)); then sync; fi
}
encrypt() { rm -f enc/data.ov2; (cd enc && "$1" data.bin /pw=abcdefgh); }
decrypt() { rm -f dec/data.bin; (cd dec && "$1" data.ov2 /pw=abcdefgh); }

declare -a c
declare -A e d
for ((r = 0; r < runs; r++)); do
  c+=("$(seconds copy)")
  for i in "${!programs[@]}"; do
    e[$i]+=" $(seconds encrypt "${programs[i]}")"
    cp enc/data.ov2 dec/data.ov2
    d[$i]+=" $(seconds decrypt "${programs[i]}")"
    cmp -s dec/data.bin enc/data.bin || { echo "MISMATCH: round trip" >&2; exit 1; }
  done
done
rm -f copy.bin

peak() { (cd "$2" && /usr/bin/time -f %M "$1" "$3" /pw=abcdefgh \
            </dev/null 2>&1 >/dev/null | tail -n 1); }
m_c=$(median "${c[@]}")
echo "$size_mib MiB in $dir ($(df -T . | awk 'NR == 2 {print $2}')), medians of $runs interleaved runs"
echo "cp$( ((flush)) && echo ' + sync'): $m_c s (all: ${c[*]})"
for i in "${!programs[@]}"; do
  # shellcheck disable=SC2086
  m_e=$(median ${e[$i]}) m_d=$(median ${d[$i]})
  rm -f enc/data.ov2 dec/data.bin
  rss_e=$(peak "${programs[i]}" enc data.bin)
  rss_d=$(peak "${programs[i]}" dec data.ov2)
  echo "${programs[i]}:"
  echo "  encrypt $m_e s ($(ratio "$m_e" "$m_c") x cp), decrypt $m_d s" \
    "($(ratio "$m_d" "$m_c") x cp); peak resident $rss_e / $rss_d KiB"
  echo "  all (s): encrypt${e[$i]}; decrypt${d[$i]}"
done
