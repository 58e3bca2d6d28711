#!/usr/bin/env bash
# The window while the preview of a 200,000-entry tree is generated: the longest stall of its
# interface thread and its memory afterwards, for a text and an HTML preview.
#
#   bench/window_stall.sh [BUILD_DIR]    (builds window_stall_bench with -DORVANE_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
build=${1:-build-bench}
cmake -S . -B "$build" -DORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target window_stall_bench >/dev/null
tree=${TMPDIR:-/tmp}/orvane-bench-tree
make_tree "$tree" 200000
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.webenginecontext.info=false"
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-dev-shm-usage"
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime XDG_CACHE_HOME=$runtime/cache XDG_CONFIG_HOME=$runtime/config
for type in text html; do
  echo "== $type preview of 200,000 entries"
  "$build/window_stall_bench" "$tree" "$type" 2>/dev/null
done
rm -rf "$runtime"
