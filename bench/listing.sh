#!/usr/bin/env bash
# Times a plain listing of a synthetic tree of about 200,000 entries against `du -b -s` and
# `find -printf '%p %s %T@ %m %u\n'` over the same tree, in turns in the same run, and reports
# the memory a listing of a 1,000,000-entry tree takes per entry (peak RSS minus the peak RSS
# of a listing of an empty folder, divided by the entries).
# Usage: bench/listing.sh [build dir] [baseline program]   (needs python3 and bc; the memory
# figure needs /usr/bin/time). With a baseline (an orvane built from another revision) it is
# timed in the same turns, and the ratio of this build to it is shown. RUNS sets the number of
# turns (default 5), SKIP_MEMORY=1 leaves out the 1,000,000-entry tree, SCAN_THREADS=N lists
# with N threads reading folders and formatting rows (default: one per core).
set -euo pipefail
build=${1:-build}
bin=$(realpath "$build/orvane")
base=${2:+$(realpath "$2")}
work=${BENCH_DIR:-/tmp/orvane-bench}
runs=${RUNS:-5}
# The listings use the program's defaults, not the settings of whoever runs the benchmark.
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME" "$work/empty"

. "$(dirname "$0")/common.sh"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

time_cmd() {  # prints wall seconds of one run
  local s e
  s=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  e=$(date +%s.%N)
  echo "$e - $s" | bc -l
}

list() {  # list PROGRAM FOLDER OUTPUT
  if [ -n "${SCAN_THREADS:-}" ]; then
    ORVANE_SCAN_THREADS=$SCAN_THREADS "$1" -l "$2" "$3"
  else
    "$1" -l "$2" "$3"
  fi
}

tree=$work/tree200k
make_tree "$tree" 200000
echo "tree: $(find "$tree" | wc -l) entries"
find_format='%p %s %T@ %m %u\n'
# Warm-up: every program reads the tree once before the timed turns.
list "$bin" "$tree" "$work/out.txt" >/dev/null 2>&1
du -b -s "$tree" >/dev/null
find "$tree" -printf "$find_format" >/dev/null
ours=() du_t=() find_t=() baseline=()
for _ in $(seq "$runs"); do
  ours+=("$(time_cmd list "$bin" "$tree" "$work/out.txt")")
  du_t+=("$(time_cmd du -b -s "$tree")")
  find_t+=("$(time_cmd find "$tree" -printf "$find_format")")
  [ -n "$base" ] && baseline+=("$(time_cmd "$base" -l "$tree" "$work/out-base.txt")")
done
o=$(printf '%s\n' "${ours[@]}" | median)
d=$(printf '%s\n' "${du_t[@]}" | median)
f=$(printf '%s\n' "${find_t[@]}" | median)
printf 'orvane listing: %.3f s   du -b -s: %.3f s   find -printf: %.3f s\n' "$o" "$d" "$f"
printf 'ratio to du: %.2f (target at most 1.0)   ratio to find: %.2f (target at most 0.3)\n' \
  "$(echo "$o / $d" | bc -l)" "$(echo "$o / $f" | bc -l)"
if [ -n "$base" ]; then
  b=$(printf '%s\n' "${baseline[@]}" | median)
  printf 'baseline listing: %.3f s   this build / baseline: %.3f\n' "$b" "$(echo "$o / $b" | bc -l)"
fi

if [ "${SKIP_MEMORY:-0}" != 1 ] && [ -x /usr/bin/time ]; then
  make_tree "$work/tree1m" 1000000
  n=$(find "$work/tree1m" | wc -l)
  /usr/bin/time -f '%M' -o "$work/rss-empty.txt" "$bin" -l "$work/empty" "$work/out0.txt" >/dev/null 2>&1
  /usr/bin/time -f '%M' -o "$work/rss.txt" "$bin" -l "$work/tree1m" "$work/out1m.txt" >/dev/null 2>&1
  empty=$(tail -1 "$work/rss-empty.txt")
  rss=$(tail -1 "$work/rss.txt")
  printf 'peak RSS on %d entries: %d KiB, empty listing %d KiB: %.0f bytes per entry (target under 120)\n' \
    "$n" "$rss" "$empty" "$(echo "($rss - $empty) * 1024 / $n" | bc -l)"
fi
