#!/usr/bin/env bash
# against_cp.sh: the program against `cp` of the same file, in the same
# directory, interleaved in one run.
#
#   bench/against_cp.sh [-s MIB] [-n RUNS] [-d DIR] [-f] [OVALITH]
#
#   -s MIB   size of the random input in MiB (default 256)
#   -n RUNS  timed runs of each command; medians are reported (default 7)
#   -d DIR   where the files go (default /dev/shm, in memory)
#   -f       cp is followed by `sync`, as ovalith flushes its output itself
#            (for a directory on a disk)
#   OVALITH  the program (default build/release/ovalith)
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
    *) sed -n '4,13p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
here=$(cd "$(dirname "$0")" && pwd)
ovalith=$(realpath "${1:-$here/../build/release/ovalith}")
[[ -x $ovalith ]] || { echo "no program at $ovalith" >&2; exit 2; }

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
encrypt() { rm -f enc/data.ov2; (cd enc && "$ovalith" data.bin /pw=abcdefgh); }
decrypt() { rm -f dec/data.bin; (cd dec && "$ovalith" data.ov2 /pw=abcdefgh); }

declare -a c e d
for ((r = 0; r < runs; r++)); do
  c+=("$(seconds copy)")
  e+=("$(seconds encrypt)")
  cp enc/data.ov2 dec/data.ov2
  d+=("$(seconds decrypt)")
done
cmp -s dec/data.bin enc/data.bin || { echo "MISMATCH: round trip" >&2; exit 1; }
peak() { (cd "$1" && /usr/bin/time -f %M "$ovalith" "$2" /pw=abcdefgh \
            </dev/null 2>&1 >/dev/null | tail -n 1); }
rm -f enc/data.ov2 dec/data.bin
rss_e=$(peak enc data.bin)
rss_d=$(peak dec data.ov2)

m_c=$(median "${c[@]}") m_e=$(median "${e[@]}") m_d=$(median "${d[@]}")
echo "$size_mib MiB in $dir ($(df -T . | awk 'NR == 2 {print $2}')), medians of $runs runs"
echo "cp$( ((flush)) && echo ' + sync'): $m_c s; encrypt: $m_e s ($(ratio "$m_e" "$m_c") x);" \
  "decrypt: $m_d s ($(ratio "$m_d" "$m_c") x)"
echo "peak resident memory: encrypt $rss_e KiB, decrypt $rss_d KiB"
echo "all runs (s): cp ${c[*]}; encrypt ${e[*]}; decrypt ${d[*]}"
