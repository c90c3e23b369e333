#!/usr/bin/env bash
# whole_program.sh: ovalith against `openssl enc -des-ecb` on the same file,
# in the same directory, in the same run.
#
#   bench/whole_program.sh [-s MIB] [-n RUNS] [-d DIR] [OVALITH]
#
#   -s MIB   size of the random input in MiB (default 256)
#   -n RUNS  timed runs of each command; medians are reported (default 5)
#   -d DIR   where the files go (default: a new directory under ${TMPDIR:-/tmp})
#   OVALITH  the program (default build/release/ovalith); libovalith.so must
#            be beside it
#
# Every timed command starts after a `sync`, so neither inherits the other's
# unwritten pages.  ovalith flushes its output to disk before renaming it into
# place; openssl does not, so ovalith is timed with that cost and openssl
# without it.
set -euo pipefail

size_mib=256
runs=5
dir=""
while getopts "s:n:d:" opt; do
  case $opt in
    s) size_mib=$OPTARG ;;
    n) runs=$OPTARG ;;
    d) dir=$OPTARG ;;
    *) sed -n '4,13p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
here=$(cd "$(dirname "$0")" && pwd)
ovalith=$(realpath "${1:-$here/../build/release/ovalith}")
[[ -x $ovalith ]] || { echo "no program at $ovalith" >&2; exit 2; }
for tool in openssl /usr/bin/time script; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }
done

password=abcdefgh
# The folded key of a password of at most 8 characters: each byte xor 0x20,
# zeros after it.
key=""
for ((i = 0; i < 8; i++)); do
  c=0
  ((i < ${#password})) && c=$(printf '%d' "'${password:i:1}")
  key+=$(printf '%02X' $((c ^ 0x20)))
done
openssl_des=(openssl enc -des-ecb -nopad -K "$key"
             -provider legacy -provider default)

if [[ -z $dir ]]; then
  dir=$(mktemp -d "${TMPDIR:-/tmp}/ovalith-bench.XXXXXX")
  trap 'rm -rf "$dir"' EXIT
fi
mkdir -p "$dir/enc" "$dir/dec"
cd "$dir"

bytes=$((size_mib * 1024 * 1024))
head -c "$bytes" /dev/urandom >enc/data.bin

seconds() {  # seconds COMMAND...: wall time of one run, after a sync
  sync
  local start=$EPOCHREALTIME
  "$@" </dev/null
  printf '%.3f\n' "$(echo "$EPOCHREALTIME - $start" | bc -l)"
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR] = $1} END {
  print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
mbps() { echo "scale=1; $bytes / $1 / 1000000" | bc -l; }

encrypt_ovalith() { rm -f enc/data.ov2; (cd enc && "$ovalith" data.bin "/pw=$password"); }
decrypt_ovalith() {
  rm -f dec/data.bin
  (cd dec && "$ovalith" data.ov2 "/pw=$password")
}

declare -a oe od se sd
for ((r = 0; r < runs; r++)); do
  oe+=("$(seconds encrypt_ovalith)")
  se+=("$(seconds "${openssl_des[@]}" -in enc/data.bin -out openssl.des)")
  cp enc/data.ov2 dec/data.ov2
  od+=("$(seconds decrypt_ovalith)")
  sd+=("$(seconds "${openssl_des[@]}" -d -in openssl.des -out openssl.plain)")
done

# The container's data blocks are exactly what openssl made of the file.
container=$(stat -c %s enc/data.ov2)
if ! cmp -s <(tail -c +9 enc/data.ov2 | head -c $((container - 16))) \
     openssl.des; then
  echo "MISMATCH: ovalith's data blocks differ from openssl's" >&2
  exit 1
fi
cmp -s dec/data.bin enc/data.bin || { echo "MISMATCH: round trip" >&2; exit 1; }
cmp -s openssl.plain enc/data.bin || { echo "MISMATCH: openssl" >&2; exit 1; }

peak_kib() {  # peak_kib DIR INPUT: ovalith's maximum resident set in KiB
  (cd "$1" && /usr/bin/time -f %M "$ovalith" "$2" "/pw=$password" \
     </dev/null 2>&1 >/dev/null | tail -n 1)
}
mkdir -p small
head -c $((1024 * 1024)) /dev/urandom >small/data.bin
rss_small_enc=$(peak_kib small data.bin)
rm small/data.bin
rss_small_dec=$(peak_kib small data.ov2)
rm -f enc/data.ov2
rss_big_enc=$(peak_kib enc data.bin)
rm -f dec/data.bin
rss_big_dec=$(peak_kib dec data.ov2)

# The progress bar is drawn only when standard error is a terminal: the same
# run on a pseudo-terminal with standard error on it, and with it elsewhere.
on_terminal() {
  rm -f enc/data.ov2
  script -qec "cd enc && '$ovalith' data.bin /pw=$password" /dev/null \
    >/dev/null
}
off_terminal() {
  rm -f enc/data.ov2
  script -qec "cd enc && '$ovalith' data.bin /pw=$password 2>/dev/null" \
    /dev/null >/dev/null
}
declare -a pt po
for ((r = 0; r < runs; r++)); do
  pt+=("$(seconds on_terminal)")
  po+=("$(seconds off_terminal)")
done

m_oe=$(median "${oe[@]}") m_se=$(median "${se[@]}")
m_od=$(median "${od[@]}") m_sd=$(median "${sd[@]}")
m_pt=$(median "${pt[@]}") m_po=$(median "${po[@]}")
ratio() { echo "scale=3; $1 / $2" | bc -l | sed 's/^\./0./'; }

echo "input: $size_mib MiB of random bytes in $dir ($(df -T . | awk 'NR == 2 {print $2}'))"
echo "runs: $runs, medians of wall time; MB = 10^6 bytes"
echo "data blocks: ovalith and openssl agree byte for byte"
printf '%-10s %10s %10s %10s %10s %8s\n' direction "ovalith s" "MB/s" \
  "openssl s" "MB/s" ratio
printf '%-10s %10.3f %10s %10.3f %10s %8s\n' encrypt "$m_oe" "$(mbps "$m_oe")" \
  "$m_se" "$(mbps "$m_se")" "$(ratio "$m_oe" "$m_se")"
printf '%-10s %10.3f %10s %10.3f %10s %8s\n' decrypt "$m_od" "$(mbps "$m_od")" \
  "$m_sd" "$(mbps "$m_sd")" "$(ratio "$m_od" "$m_sd")"
echo "all runs (s): ovalith enc ${oe[*]}; openssl enc ${se[*]}"
echo "              ovalith dec ${od[*]}; openssl dec ${sd[*]}"
echo "peak resident memory (KiB): 1 MiB input: encrypt $rss_small_enc," \
  "decrypt $rss_small_dec; $size_mib MiB input: encrypt $rss_big_enc," \
  "decrypt $rss_big_dec"
printf 'progress bar, encrypting: on a terminal %.3f s, off one %.3f s (%+.1f%%)\n' \
  "$m_pt" "$m_po" "$(echo "100 * ($m_pt - $m_po) / $m_po" | bc -l)"
