#!/usr/bin/env bash
# Fetches the Debian source package of the installed minizip into DIR/src, so the fuzz build can
# compile it with the fuzzer's instrumentation. Uses its own package lists under DIR and leaves
# the system's apt configuration alone. Prints the source folder; fails when the sources cannot
# be had (the fuzz build then links the system's uninstrumented minizip).
#   fuzz/fetch-minizip.sh DIR
set -euo pipefail
dir=$(realpath -m "${1:?usage: fetch-minizip.sh DIR}")
read -r pkg version < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' libminizip1)
if [ -f "$dir/src/unzip.c" ] && [ "$(cat "$dir/version" 2>/dev/null)" = "$version" ]; then
  echo "$dir/src"
  exit 0
fi
rm -rf "$dir"
mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial" "$dir/get"
# Source entries for the archives the system already uses: each "deb" entry of its apt sources
# becomes a "deb-src" entry (the one-line and the deb822 forms alike).
mkdir -p "$dir/parts"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  if [ -f "$f" ]; then sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"; fi
done >"$dir/sources.list"
for f in /etc/apt/sources.list.d/*.sources; do
  if [ -f "$f" ]; then sed 's/^Types:.*/Types: deb-src/' "$f" >"$dir/parts/$(basename "$f")"; fi
done
apt_opts=(-o Dir::Etc::SourceList="$dir/sources.list" -o Dir::Etc::SourceParts="$dir/parts"
  -o Dir::State::Lists="$dir/lists" -o Dir::Cache="$dir/cache" -o APT::Sandbox::User=root)
apt-get "${apt_opts[@]}" -qq update >&2
(cd "$dir/get" && apt-get "${apt_opts[@]}" -qq source --download-only "$pkg=$version" >&2 &&
  dpkg-source -x ./*.dsc unpacked >&2)
mv "$dir/get/unpacked" "$dir/src"
rm -rf "$dir/get" "$dir/lists" "$dir/cache"
echo "$version" >"$dir/version"
echo "$dir/src"
