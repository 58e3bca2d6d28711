#!/usr/bin/env bash
# Runs every fuzz target for SECONDS, two at a time, on a corpus kept under CORPUS_DIR (one
# folder per target, grown from the seeds in fuzz/seeds/), and prints per target the runs, the
# coverage (libFuzzer's "cov" edges), the new corpus entries and any artifact with the command
# that reproduces it. Exits 1 when an artifact was found.
#   scripts/fuzz-soak.sh SECONDS CORPUS_DIR
# ORVANE_FUZZ_BUILD names the build folder (default build-fuzz); ORVANE_FUZZ_NO_BUILD=1 uses it
# as it is. Each target's own libFuzzer flags come from fuzz/<name>.options.
set -euo pipefail
seconds=${1:?usage: fuzz-soak.sh SECONDS CORPUS_DIR}
out=$(realpath -m "${2:?usage: fuzz-soak.sh SECONDS CORPUS_DIR}")
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${ORVANE_FUZZ_BUILD:-build-fuzz}")
[ "${ORVANE_FUZZ_NO_BUILD:-0}" = 1 ] || bash fuzz/build.sh "$build" >&2
mkdir -p "$out"

soak() {
  local f=$1 name corpus before
  name=$(basename "$f" _fuzz)
  corpus=$out/$name
  mkdir -p "$corpus" "$out/artifacts"
  rm -f "$out/artifacts/$name"-*
  before=$(find "$corpus" -type f | wc -l)
  local args=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 -print_final_stats=1
    -artifact_prefix="$out/artifacts/$name-")
  [ -f "fuzz/$name.dict" ] && args+=(-dict="$root/fuzz/$name.dict")
  [ -f "fuzz/$name.options" ] && mapfile -t -O ${#args[@]} args < <(grep -v '^#' "fuzz/$name.options")
  local dirs=("$corpus")
  [ -d "fuzz/seeds/$name" ] && dirs+=("$root/fuzz/seeds/$name")
  local rc=0
  "$f" "${args[@]}" "${dirs[@]}" >"$out/$name.log" 2>&1 || rc=$?
  echo "$before $rc" >"$out/$name.result"
}

pids=()
for f in "$build"/fuzz/*_fuzz; do
  [ -x "$f" ] || continue
  while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n || true; done
  echo "fuzzing $(basename "$f" _fuzz) for ${seconds}s" >&2
  soak "$f" &
  pids+=($!)
done
wait "${pids[@]}" || true

found=0
printf '%-14s %12s %8s %8s %8s  %s\n' target runs cov corpus new artifact
for f in "$build"/fuzz/*_fuzz; do
  [ -x "$f" ] || continue
  name=$(basename "$f" _fuzz)
  read -r before rc <"$out/$name.result"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$name.log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$out/$name.log" | tail -1 | cut -d' ' -f2)
  after=$(find "$out/$name" -type f | wc -l)
  artifact=$(find "$out/artifacts" -name "$name-*" -type f | head -1)
  note=-
  if [ -n "$artifact" ]; then
    note="$f $artifact"
    found=1
  elif [ "$rc" != 0 ]; then
    note="exit $rc, see $out/$name.log"
    found=1
  fi
  printf '%-14s %12s %8s %8s %8s  %s\n' "$name" "${runs:-?}" "${cov:-?}" "$after" \
    $((after - before)) "$note"
done
exit "$found"
