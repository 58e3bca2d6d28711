#!/usr/bin/env bash
# Rebuilds the PE fixtures of the version-resource tests with mingw-w64 (Debian package
# mingw-w64). Each is a stripped program or library without a C runtime, a few kilobytes long.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# build ARCH KIND RC OUT: ARCH x86_64 or i686, KIND exe or dll, RC the resource script (or -).
build() {
  local arch=$1 kind=$2 rc=$3 out=$4 entry=Entry objs=()
  [ "$arch" = i686 ] && entry=_Entry
  if [ "$rc" != - ]; then
    "$arch-w64-mingw32-windres" "$rc" -O coff -o "$tmp/$out.res.o"
    objs+=("$tmp/$out.res.o")
  fi
  local flags=(-Os -nostdlib -s -Wl,--entry="$entry" -Wl,--no-insert-timestamp)
  [ "$kind" = dll ] && flags+=(-shared)
  "$arch-w64-mingw32-gcc" "${flags[@]}" -o "$out" stub.c "${objs[@]}"
}

build x86_64 exe fixed_wins.rc fixed_wins64.exe
build i686 exe string_version.rc string_version32.exe
build x86_64 dll no_translation.rc no_translation64.dll
build i686 dll two_translations.rc two_translations32.dll
build x86_64 exe - no_resource64.exe
build i686 exe fixed_wins.rc fixed_wins32.exe
ls -l ./*.exe ./*.dll
