#!/usr/bin/env bash
# Times a plain listing of a synthetic tree of about 200,000 entries against find -printf over
# the same tree, in the same run, and reports peak memory per entry on a 1,000,000-entry tree.
# Usage: bench/listing.sh [build dir] [baseline program]   (needs python3; uses /usr/bin/time
# when present). With a baseline (an orvane built from another revision) both programs are timed
# in turns in the same run, each as a ratio against find.
set -euo pipefail
build=${1:-build}
bin=$(realpath "$build/orvane")
base=${2:+$(realpath "$2")}
work=${BENCH_DIR:-/tmp/orvane-bench}
runs=${RUNS:-5}

. "$(dirname "$0")/common.sh"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

time_cmd() {  # prints wall seconds of one run
  local s e
  s=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  e=$(date +%s.%N)
  echo "$e - $s" | bc -l
}

make_tree "$work/tree200k" 200000
echo "tree: $(find "$work/tree200k" | wc -l) entries"
"$bin" -l "$work/tree200k" "$work/out.txt" >/dev/null 2>&1  # warm-up
find "$work/tree200k" -printf '%p %s %TY-%Tm-%Td %TH:%TM %m\n' >/dev/null
ours=() theirs=() baseline=()
for _ in $(seq "$runs"); do
  ours+=("$(time_cmd "$bin" -l "$work/tree200k" "$work/out.txt")")
  theirs+=("$(time_cmd find "$work/tree200k" -printf '%p %s %TY-%Tm-%Td %TH:%TM %m\n')")
  [ -n "$base" ] && baseline+=("$(time_cmd "$base" -l "$work/tree200k" "$work/out-base.txt")")
done
o=$(printf '%s\n' "${ours[@]}" | median)
t=$(printf '%s\n' "${theirs[@]}" | median)
printf 'orvane listing: %.3f s   find -printf: %.3f s   ratio: %.2f\n' "$o" "$t" "$(echo "$o / $t" | bc -l)"
if [ -n "$base" ]; then
  b=$(printf '%s\n' "${baseline[@]}" | median)
  printf 'baseline listing: %.3f s   ratio: %.2f   this build / baseline: %.3f\n' "$b" \
    "$(echo "$b / $t" | bc -l)" "$(echo "$o / $b" | bc -l)"
fi

if [ "${SKIP_MEMORY:-0}" != 1 ] && [ -x /usr/bin/time ]; then
  make_tree "$work/tree1m" 1000000
  n=$(find "$work/tree1m" | wc -l)
  /usr/bin/time -f '%M' -o "$work/rss.txt" "$bin" -l "$work/tree1m" "$work/out1m.txt" >/dev/null 2>&1
  rss=$(tail -1 "$work/rss.txt")
  printf 'peak RSS on %d entries: %d KiB = %.0f bytes per entry\n' "$n" "$rss" "$(echo "$rss * 1024 / $n" | bc -l)"
fi
