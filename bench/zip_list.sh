#!/usr/bin/env bash
# Zip listing benchmark: an archive of 100,000 tiny members (Python's zipfile), listed by
# Orvane as a directory and by `unzip -Zl` and `bsdtar -tvf`; median wall time of several runs
# of each, and the ratios. Orvane is timed through the CLI (`orvane -l DIR OUT --archives`) when
# the binary offers that option, and through bench/zip_list_bench (ListZipArchive into a
# counting sink, Google Benchmark) in any case.
#   bash bench/zip_list.sh [runs]       (default 7 runs; needs python3, unzip, bsdtar, cmake)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/dir"
archive="$work/dir/members.zip"

python3 - "$archive" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_STORED) as z:
    for i in range(100000):
        z.writestr(f"dir{i % 100:02d}/file{i:06d}.txt", b"%d" % i)
PY
echo "archive: $(stat -c %s "$archive") bytes, 100000 members"

# Median wall time in milliseconds of running "$@" $runs times (output discarded).
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

unzip_ms=$(median_ms unzip -Zl "$archive")
bsdtar_ms=$(median_ms bsdtar -tvf "$archive")

# The benchmark program (Release build of the core with Google Benchmark).
bench_dir=${BENCH_BUILD:-build-bench}
if [ ! -x "$bench_dir/bench/zip_list_bench" ]; then
  cmake -S . -B "$bench_dir" -DORVANE_GUI=OFF -DORVANE_BENCH=ON -DORVANE_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$bench_dir" -j2 --target zip_list_bench >/dev/null
lib_ms=$(ORVANE_ZIP_BENCH_FILE="$archive" "$bench_dir/bench/zip_list_bench" \
  --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null | awk -F, '/_median"?,/ {printf "%.0f", $3}')

cli_ms=""
if [ -x build/orvane ] && build/orvane --help 2>&1 | grep -q -- '--archives'; then
  cli_ms=$(median_ms build/orvane -l "$work/dir" "$work/out.txt" --archives)
fi

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0) printf "%.2f", b / a; else print "-" }'; }
printf '%-34s %8s   %s\n' "tool" "median" "speed-up of Orvane's reader"
printf '%-34s %6s ms\n' "ListZipArchive (zip_list_bench)" "$lib_ms"
[ -n "$cli_ms" ] && printf '%-34s %6s ms\n' "orvane -l DIR OUT --archives" "$cli_ms"
[ -z "$cli_ms" ] && printf '%-34s %8s\n' "orvane -l DIR OUT --archives" "(option not wired yet)"
printf '%-34s %6s ms   x%s\n' "unzip -Zl" "$unzip_ms" "$(ratio "$lib_ms" "$unzip_ms")"
printf '%-34s %6s ms   x%s\n' "bsdtar -tvf" "$bsdtar_ms" "$(ratio "$lib_ms" "$bsdtar_ms")"
