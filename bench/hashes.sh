#!/usr/bin/env bash
# Times the hash columns of a listing against the usual command-line tools, warm cache, in one
# run: CRC32 + MD5 + SHA-1 against rhash, MD5 alone against md5sum, SHA-1 alone against sha1sum.
#
#   bench/hashes.sh [BUILD_DIR]      (default build; RUNS=3, SET=/tmp/orvane-hash-set)
#
# The set is about 1 GiB: four large files and 4000 small ones in 40 folders, made once. Besides
# the program (build/orvane -l SET OUT --columns ...), the core alone is timed through
# build-bench/bench/hashes_bench --tree, which hashes every file as the listing does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bench_build=${BENCH_BUILD:-$root/build-bench}
runs=${RUNS:-3}
set_dir=${SET:-/tmp/orvane-hash-set}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

make_set() {
  [ -f "$set_dir.complete" ] && return
  echo "making the set in $set_dir ..."
  rm -rf "$set_dir"
  mkdir -p "$set_dir/large"
  for i in 1 2 3; do head -c $((256 << 20)) /dev/urandom >"$set_dir/large/big$i.bin"; done
  head -c $((150 << 20)) /dev/urandom >"$set_dir/large/odd.bin"
  RANDOM=7
  for d in $(seq 1 40); do
    mkdir -p "$set_dir/small/d$d"
    for f in $(seq 1 100); do
      head -c $((RANDOM * 2 + 1)) /dev/urandom >"$set_dir/small/d$d/f$f.dat"
    done
  done
  touch "$set_dir.complete"
}

# pair NAME TARGET -- OURS... -- TOOL...: runs both commands $runs times, alternating, and prints
# the median wall times and their ratio against the target, then the best wall times and their
# ratio, and the median CPU times (user + system).
# Alternating keeps both commands under the same load when the machine is shared.
pair() {
  local name=$1 target=$2 ours=() tool=() wall_o=() wall_t=() cpu_o=() cpu_t=() r
  shift 3
  while [ "$1" != -- ]; do ours+=("$1"); shift; done
  shift
  tool=("$@")
  for _ in $(seq 1 "$runs"); do
    /usr/bin/time -f '%e %U %S' -o "$out/t" "${ours[@]}" >/dev/null 2>&1
    read -r e u s <"$out/t"; wall_o+=("$e"); cpu_o+=("$(echo "$u + $s" | bc -l)")
    /usr/bin/time -f '%e %U %S' -o "$out/t" "${tool[@]}" >/dev/null 2>&1
    read -r e u s <"$out/t"; wall_t+=("$e"); cpu_t+=("$(echo "$u + $s" | bc -l)")
  done
  local wo wt co ct bo bt
  wo=$(median "${wall_o[@]}"); wt=$(median "${wall_t[@]}")
  bo=$(best "${wall_o[@]}"); bt=$(best "${wall_t[@]}")
  co=$(median "${cpu_o[@]}"); ct=$(median "${cpu_t[@]}")
  r=$(echo "$wo / $wt" | bc -l)
  printf '%-30s %7.2fs %7.2fs %6.2f  %-13s best %6.2fs %6.2fs %5.2f  cpu %6.2fs %6.2fs\n' \
    "$name" "$wo" "$wt" "$r" \
    "$([ "$(echo "$r <= $target" | bc -l)" = 1 ] && echo "met (<=$target)" || echo "MISSED (<=$target)")" \
    "$bo" "$bt" "$(echo "$bo / $bt" | bc -l)" "$co" "$ct"
}

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
best() { printf '%s\n' "$@" | sort -g | head -1; }

each_file() { echo "find '$set_dir' -type f -print0 | xargs -0 $1"; }

make_set
if [ ! -x "$bench_build/bench/hashes_bench" ]; then
  cmake -S "$root" -B "$bench_build" -DORVANE_GUI=OFF -DORVANE_TESTS=OFF -DORVANE_BENCH=ON \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$bench_build" -j2 --target hashes_bench >/dev/null
fi
find "$set_dir" -type f -exec cat {} + >/dev/null  # warm the page cache
echo "set: $(du -sh "$set_dir" | cut -f1) in $(find "$set_dir" -type f | wc -l) files; $runs runs each, medians"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine skews wall times)"

printf '%-30s %8s %8s %6s  %-18s %7s %7s %5s  %-3s %7s %7s\n' "" ours tool ratio "" ours tool ratio "" ours tool

if [ -x "$build/orvane" ] && "$build/orvane" --help 2>&1 | grep -q -- '--columns'; then
  o=$build/orvane
  pair "orvane 2,20,21,22 / rhash" 0.7 -- "$o" -l "$set_dir" "$out/a.txt" --columns 2,20,21,22 \
    -- rhash --crc32 --md5 --sha1 -r "$set_dir"
  pair "orvane 2,21 / md5sum" 1.1 -- "$o" -l "$set_dir" "$out/b.txt" --columns 2,21 \
    -- bash -c "$(each_file md5sum)"
  pair "orvane 2,22 / sha1sum" 0.7 -- "$o" -l "$set_dir" "$out/c.txt" --columns 2,22 \
    -- bash -c "$(each_file sha1sum)"
else
  echo "($build/orvane has no --columns option yet: timing the core alone)"
fi
t=$bench_build/bench/hashes_bench
pair "core crc32+md5+sha1 / rhash" 0.7 -- "$t" --tree "$set_dir" crc32,md5,sha1 \
  -- rhash --crc32 --md5 --sha1 -r "$set_dir"
pair "core md5 / md5sum" 1.1 -- "$t" --tree "$set_dir" md5 -- bash -c "$(each_file md5sum)"
pair "core sha1 / sha1sum" 0.7 -- "$t" --tree "$set_dir" sha1 -- bash -c "$(each_file sha1sum)"
