#!/usr/bin/env bash
# Installs, builds and runs every test: the normal build (with the Qt window's parts), the core's
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the threaded parts' tests under
# ThreadSanitizer, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
# Tests never browse the local network for SMB servers; they reach 127.0.0.1 only.
export ORVANE_SMB_BROWSE=no

cmake -S . -B build -DORVANE_GUI=ON >/dev/null
cmake --build build -j"$jobs"
# The window's tests (the main window with its web preview, the tree, the option pages) run
# without a display.
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DORVANE_GUI=OFF -DORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -E '^Slow'

# Code that runs on several threads (the engine's worker and two engines side by side, the
# checksum helper thread, the network provider's lock) also runs under ThreadSanitizer.
cmake -S . -B build-tsan -DORVANE_GUI=OFF -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -O1" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build build-tsan -j"$jobs" --target test_engine test_fileinfo test_platform
for t in engine fileinfo platform; do
  echo "ThreadSanitizer: test_$t"
  TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/test_$t --gtest_filter='-Slow*' --gtest_brief=1
done

# Fuzz targets: each runs for a short fixed time from its seeds, with its own flags from
# fuzz/<name>.options (scripts/fuzz-soak.sh runs them for longer).
bash fuzz/build.sh build-fuzz
fuzz_seconds=${ORVANE_FUZZ_SECONDS:-20}
for f in build-fuzz/fuzz/*_fuzz; do
  [ -x "$f" ] || continue
  name=$(basename "$f" _fuzz)
  corpus=$(mktemp -d)
  seeds=fuzz/seeds/$name
  dict=fuzz/$name.dict
  args=(-max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=10)
  [ -f "$dict" ] && args+=(-dict="$dict")
  [ -f "fuzz/$name.options" ] && mapfile -t -O ${#args[@]} args < <(grep -v '^#' "fuzz/$name.options")
  echo "fuzzing $name for ${fuzz_seconds}s"
  if [ -d "$seeds" ]; then "$f" "${args[@]}" "$corpus" "$seeds" >/dev/null 2>"$corpus.log" ||
    { tail -50 "$corpus.log"; exit 1; }
  else "$f" "${args[@]}" "$corpus" >/dev/null 2>"$corpus.log" || { tail -50 "$corpus.log"; exit 1; }
  fi
  rm -rf "$corpus" "$corpus.log"
done
echo "all tests passed"
