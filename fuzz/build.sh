#!/usr/bin/env bash
# Configures and builds the fuzz targets with clang in BUILD_DIR (default build-fuzz).
#   fuzz/build.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DORVANE_GUI=OFF -DORVANE_FUZZ=ON -DORVANE_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$(nproc)"
