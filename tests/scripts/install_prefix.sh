#!/usr/bin/env bash
# Installs into a temporary prefix, moves the prefix elsewhere and lists from there: the program
# must find its data (a quick configuration) from its own place. Checks the installed desktop
# integration with the freedesktop validators.
set -u
bin=$(realpath "$1")
build=$(dirname "$bin")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

export XDG_CONFIG_HOME="$tmp/config"
cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log" 2>&1
check "cmake --install into a prefix" "[ $? -eq 0 ]"
mv "$tmp/prefix" "$tmp/moved"
p=$tmp/moved
mkdir -p "$tmp/tree"
printf 'hello' >"$tmp/tree/a.txt"

"$p/bin/orvane" /o "CSV inventory" -l "$tmp/tree" "$tmp/out.csv" 2>"$tmp/err"
check "the moved program lists with a quick configuration of its data" \
  "[ $? -eq 0 ] && head -1 '$tmp/out.csv' | grep -q ';' && grep -q 'a.txt' '$tmp/out.csv'"
check "the program's data is in share/orvane" "[ -f '$p/share/orvane/CSV inventory.ovc' ] && [ ! -e '$p/share/orvane/desktop' ]"

for f in share/applications/org.brenmoor.Orvane.desktop share/metainfo/org.brenmoor.Orvane.metainfo.xml \
  share/mime/packages/org.brenmoor.Orvane.xml share/icons/hicolor/scalable/apps/org.brenmoor.Orvane.svg \
  share/icons/hicolor/16x16/apps/org.brenmoor.Orvane.png share/icons/hicolor/256x256/apps/org.brenmoor.Orvane.png \
  share/man/man1/orvane.1.gz share/bash-completion/completions/orvane; do
  check "installed $f" "[ -s '$p/$f' ]"
done
check "the PNG icons have their sizes" \
  "file '$p/share/icons/hicolor/48x48/apps/org.brenmoor.Orvane.png' | grep -q '48 x 48'"
check "desktop entries are valid" "desktop-file-validate $p/share/applications/*.desktop"
check "the AppStream data is valid" "appstreamcli validate --no-net --pedantic '$p/share/metainfo/org.brenmoor.Orvane.metainfo.xml' >'$tmp/as.log' 2>&1 || { cat '$tmp/as.log'; false; }"
check "the installed manual page renders" "man -l '$p/share/man/man1/orvane.1.gz' | grep -q 'list-columns'"

# The file types: the shared MIME database built from the installed package file knows them, and
# the desktop entries open them with the command line.
update-mime-database "$p/share/mime" >/dev/null 2>&1
check "file types by extension" "grep -q 'application/x-orvane-selection:\*\.ovs' '$p/share/mime/globs' &&
  grep -q 'application/x-orvane-configuration:\*\.ovc' '$p/share/mime/globs' &&
  grep -q 'application/x-orvane-html-style:\*\.ovh' '$p/share/mime/globs'"
check "a selection file is listed with /l" "grep -qx 'Exec=orvane /l %f' '$p/share/applications/org.brenmoor.Orvane.Selection.desktop'"
check "a configuration file is opened with /o" "grep -qx 'Exec=orvane /o %f' '$p/share/applications/org.brenmoor.Orvane.Configuration.desktop'"

[ $fail -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
