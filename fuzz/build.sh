#!/usr/bin/env bash
# Configures and builds the fuzz targets with clang in BUILD_DIR (default build-fuzz). minizip
# is compiled with the fuzzer's instrumentation from its Debian source package when that can be
# fetched; otherwise the targets use the system's library, uninstrumented.
#   fuzz/build.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
mkdir -p "$build"
minizip=
if src=$(bash fuzz/fetch-minizip.sh "$build/minizip-source" 2>"$build/minizip.log"); then
  minizip=$src
else
  echo "minizip sources not available (see $build/minizip.log); its code stays uninstrumented" >&2
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -DORVANE_GUI=OFF -DORVANE_FUZZ=ON -DORVANE_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=Debug -DORVANE_FUZZ_MINIZIP_SOURCE="$minizip" >/dev/null
cmake --build "$build" -j"$(nproc)"
