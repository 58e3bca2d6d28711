#!/usr/bin/env bash
# Checksums on both cores and checksums kept between runs, timed against rhash in one run.
#
#   bench/checksums.sh [BUILD_DIR]      (default build; RUNS=3, SET=/tmp/orvane-checksum-set)
#
# The set is 1 GiB in 2,008 files: eight files of 96 MiB and 2,000 files of up to 256 KiB in
# 20 folders, made once. Three figures, each a median of RUNS runs taken alternately with its
# peer so both see the same load:
#   1. orvane listing CRC32, MD5 and SHA-1 / `rhash --crc32 --md5 --sha1 -r` (target <= 0.55);
#   2. the same listing with "Reuse checksums of unchanged files from earlier listings" on, the
#      second run against the first (target < 0.05); the cache lives in a private folder;
#   3. peak memory of the listing (/usr/bin/time), for the bound of a few buffers per thread.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${RUNS:-3}
set_dir=${SET:-/tmp/orvane-checksum-set}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
orvane=$build/orvane
columns=name,crc32,md5,sha1

make_set() {
  [ -f "$set_dir.complete" ] && return
  echo "making the set in $set_dir ..."
  rm -rf "$set_dir"
  mkdir -p "$set_dir/large"
  for i in 1 2 3 4 5 6 7 8; do head -c $((96 << 20)) /dev/urandom >"$set_dir/large/big$i.bin"; done
  python3 - "$set_dir" <<'PY'
import os, random, sys
random.seed(7)
for d in range(20):
    folder = os.path.join(sys.argv[1], "small", "d%02d" % d)
    os.makedirs(folder, exist_ok=True)
    for f in range(100):
        with open(os.path.join(folder, "f%03d.dat" % f), "wb") as out:
            out.write(os.urandom(random.randint(1, 256 << 10)))
PY
  touch "$set_dir.complete"
}

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# wall seconds of one run of "$@" (output discarded); its peak memory in KB goes to $work/rss
timed() {
  /usr/bin/time -f '%e %M' -o "$work/t" "$@" >/dev/null 2>&1
  read -r e m <"$work/t"
  echo "$m" >"$work/rss"
  echo "$e"
}

make_set
find "$set_dir" -type f -exec cat {} + >/dev/null  # warm the page cache
echo "set: $(du -sh "$set_dir" | cut -f1) in $(find "$set_dir" -type f | wc -l) files; $runs runs, medians"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# Private settings and cache folders: the user's own are never read or written.
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
printf '[Settings]\n1600=1\n' >"$work/reuse.ovc"

ours=() peer=() rss=()
for _ in $(seq "$runs"); do
  ours+=("$(timed "$orvane" -l "$set_dir" "$work/a.txt" --columns "$columns")")
  rss+=("$(cat "$work/rss")")
  peer+=("$(timed rhash --crc32 --md5 --sha1 -r "$set_dir")")
done
o=$(median "${ours[@]}") p=$(median "${peer[@]}")
printf '%-44s %6.2fs  rhash %6.2fs  ratio %5.2f (target <= 0.55)  peak %s KB\n' \
  "orvane $columns" "$o" "$p" "$(echo "$o / $p" | bc -l)" "$(median "${rss[@]}")"

first=() second=()
for _ in $(seq "$runs"); do
  rm -rf "$work/cache"
  first+=("$(timed "$orvane" /o "$work/reuse.ovc" -l "$set_dir" "$work/b.txt" --columns "$columns")")
  second+=("$(timed "$orvane" /o "$work/reuse.ovc" -l "$set_dir" "$work/c.txt" --columns "$columns")")
done
# The first line names the moment of the listing.
cmp -s <(tail -n +2 "$work/b.txt") <(tail -n +2 "$work/c.txt") || echo "the listings with and without the kept checksums differ!"
f=$(median "${first[@]}") s=$(median "${second[@]}")
printf '%-44s %6.2fs  first  %6.2fs  ratio %5.3f (target < 0.05)\n' \
  "orvane reusing kept checksums, second run" "$s" "$f" "$(echo "$s / $f" | bc -l)"
