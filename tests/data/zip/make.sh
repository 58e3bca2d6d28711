#!/usr/bin/env bash
# Rebuilds the zip fixtures: info-zip.zip with Info-ZIP's zip (Unix host, extended timestamps,
# a Unicode path block for the non-ASCII name), the others with make_zips.py.
# Needs the Debian packages zip and python3.
set -euo pipefail
cd "$(dirname "$0")"
export TZ=UTC LC_ALL=C.UTF-8
src=$(mktemp -d)
trap 'rm -rf "$src"' EXIT
mkdir -p "$src/tree/sub"
printf 'hello\n' > "$src/tree/sub/b.txt"
printf 'read only\n' > "$src/tree/locked.txt"
printf 'accents\n' > "$src/tree/caf$(printf '\xc3\xa9').txt"
touch -d '2020-02-03 04:05:06' "$src/tree/sub/b.txt" "$src/tree/locked.txt" "$src/tree/sub" \
  "$src/tree/caf$(printf '\xc3\xa9').txt"
chmod 444 "$src/tree/locked.txt"
rm -f info-zip.zip
(cd "$src/tree" && zip -q -r "$OLDPWD/info-zip.zip" sub locked.txt "caf$(printf '\xc3\xa9').txt")
python3 make_zips.py
python3 make_walk_zips.py
