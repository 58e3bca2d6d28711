#!/usr/bin/env bash
# A zip of 100,000 members listed as a directory, timed against `unzip -Zl` in one run, with
# the peak memory of both.
#
#   bench/zip_listing.sh [BUILD_DIR]     (default build; RUNS=5)
#
# The members carry times spread over many years and minutes, as real archives do, so the
# conversion of their local times counts. Targets: at most 0.5 x unzip -Zl, under 40 MB peak.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/dir"
archive=$work/dir/members.zip

python3 - "$archive" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_STORED) as z:
    for i in range(100000):
        when = (1990 + i % 30, 1 + i % 12, 1 + i % 28, i % 24, (i * 7) % 60, (i * 2) % 60)
        z.writestr(zipfile.ZipInfo(f"dir{i % 100:02d}/file{i:06d}.txt", when), b"%d" % i)
PY
echo "archive: $(stat -c %s "$archive") bytes, 100000 members; load average $(cut -d' ' -f1-3 /proc/loadavg)"

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# wall seconds and peak KB of one run of "$@" (output discarded), as "SECONDS KB"
timed() {
  /usr/bin/time -f '%e %M' -o "$work/t" "$@" >/dev/null 2>&1
  cat "$work/t"
}

ours=() peer=() ours_kb=() peer_kb=()
for _ in $(seq "$runs"); do
  read -r e m < <(timed "$build/orvane" -l "$work/dir" "$work/out.txt" --archives)
  ours+=("$e") ours_kb+=("$m")
  read -r e m < <(timed unzip -Zl "$archive")
  peer+=("$e") peer_kb+=("$m")
done
grep -q 'file099999.txt' "$work/out.txt" || echo "the listing misses members!"
o=$(median "${ours[@]}") p=$(median "${peer[@]}")
printf 'orvane -l DIR OUT --archives %6.2fs %7s KB peak\n' "$o" "$(median "${ours_kb[@]}")"
printf 'unzip -Zl                    %6.2fs %7s KB peak\n' "$p" "$(median "${peer_kb[@]}")"
printf 'ratio %.2f (target <= 0.5); peak %s MB (target < 40)\n' "$(echo "$o / $p" | bc -l)" \
  "$(( $(median "${ours_kb[@]}") / 1024 ))"
