#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need (run as root).
# Package lists live in .ci/packages/*.txt, one package per line.
set -euo pipefail
cd "$(dirname "$0")/.."
pkgs=$(cat .ci/packages/*.txt | sed 's/#.*//' | tr -s ' \n' '\n' | grep -v '^$' | sort -u)
missing=()
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
