#!/usr/bin/env bash
# Times an HTML listing sorted by name of a synthetic tree of about 200,000 entries against
# `tree -a -H` writing an HTML page of the same tree, in the same run (median of RUNS runs each).
# Wall time depends on what else runs on the machine; CPU time (user + system) is reported too.
# Usage: bench/html_listing.sh [build dir]   (needs python3, bc, /usr/bin/time and the Debian
# package tree)
set -euo pipefail
build=${1:-build}
bin=$(realpath "$build/orvane")
work=${BENCH_DIR:-/tmp/orvane-bench}
runs=${RUNS:-5}
command -v tree >/dev/null || { echo "tree is not installed (.ci/packages/html.txt)"; exit 1; }

. "$(dirname "$0")/common.sh"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

time_cmd() {  # prints wall seconds and CPU seconds (user + system) of one run
  local f
  f=$(mktemp)
  /usr/bin/time -f '%e %U %S' -o "$f" "$@" >/dev/null 2>&1
  awk '{printf "%s %.2f\n", $1, $2 + $3}' "$f"
  rm -f "$f"
}

tree_dir=$work/tree200k
make_tree "$tree_dir" 200000
echo "tree: $(find "$tree_dir" | wc -l) entries"
ours_cmd=("$bin" -l "$tree_dir" "$work/out-orvane.html" --type html --sort name)
tree_cmd=(tree -a -H "$tree_dir" -o "$work/out-tree.html" "$tree_dir")
"${ours_cmd[@]}" >/dev/null 2>&1  # warm-up: both read the same cached tree
"${tree_cmd[@]}" >/dev/null 2>&1
ours=() theirs=()
for _ in $(seq "$runs"); do
  ours+=("$(time_cmd "${ours_cmd[@]}")")
  theirs+=("$(time_cmd "${tree_cmd[@]}")")
done
ow=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f1 | median)
oc=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f2 | median)
tw=$(printf '%s\n' "${theirs[@]}" | cut -d' ' -f1 | median)
tc=$(printf '%s\n' "${theirs[@]}" | cut -d' ' -f2 | median)
rows=$(grep -c '^<tr>' "$work/out-orvane.html" || true)
echo "median of $runs runs (machine load: $(cut -d' ' -f1 /proc/loadavg))"
printf 'orvane --type html --sort name (%d rows, %d bytes): wall %.2f s, cpu %.2f s\n' \
  "$rows" "$(stat -c %s "$work/out-orvane.html")" "$ow" "$oc"
printf 'tree -a -H (%d bytes): wall %.2f s, cpu %.2f s\n' "$(stat -c %s "$work/out-tree.html")" "$tw" "$tc"
printf 'ratio orvane/tree: wall %.2f, cpu %.2f\n' "$(echo "$ow / $tw" | bc -l)" "$(echo "$oc / $tc" | bc -l)"
