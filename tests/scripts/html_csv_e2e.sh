#!/usr/bin/env bash
# End-to-end check of the HTML, CSV and text listings with real parsers: a tree of awkward names
# (markup characters, quotes, blank pairs, ";", tab, newline, non-ASCII letters) is listed in
# every output type and encoding; Python's csv module reads the CSV and headless Chromium loads
# the HTML. Arguments: the orvane binary, the source folder.
set -euo pipefail
bin=${1:?orvane binary}
src=${2:?source folder}
for tool in python3 chromium; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (.ci/packages/html.txt)"; exit 1; }
done
exec python3 "$src/tests/scripts/html_csv_check.py" "$bin"
