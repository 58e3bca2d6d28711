#!/usr/bin/env bash
# End-to-end checks of configuration files in batch runs: the settings file, /o with a path or
# a quick configuration's name, "--" options on top, and a batch run never writing settings.
set -u
bin=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

export XDG_CONFIG_HOME="$tmp/config"
export TMPDIR="$tmp/t"
mkdir -p "$TMPDIR" "$tmp/tree/sub" "$XDG_CONFIG_HOME/Brenmoor/Orvane"
printf 'hello' >"$tmp/tree/a.txt"
printf 'x' >"$tmp/tree/sub/b.txt"
settings="$XDG_CONFIG_HOME/Brenmoor/Orvane/Orvane.ini"

"$bin" /l "$tmp/tree" "$tmp/plain.txt" 2>"$tmp/err"
check "no settings file: defaults, no warning" "[ $? -eq 0 ] && ! grep -q orvane: '$tmp/err'"
check "no settings file is created" "[ ! -e '$settings' ] && [ -z \"\$(ls -A '$XDG_CONFIG_HOME/Brenmoor/Orvane')\" ]"

# Listings are checked in text form (--type text on top of each configuration), which shows
# what the configuration chose: columns, formats, rows and the summary.
printf '[Settings]\r\n1391=0\r\n1226=1\r\n' >"$settings"
sum=$(md5sum <"$settings")
"$bin" /l "$tmp/tree" "$tmp/from-settings.txt" 2>/dev/null
check "settings file shapes the listing" "head -2 '$tmp/from-settings.txt' | grep -q 'Owner' && ! head -2 '$tmp/from-settings.txt' | grep -q 'Size'"
check "settings file unchanged by a batch run" "[ \"\$(md5sum <'$settings')\" = '$sum' ]"
check "no remembered selection written" "[ -z \"\$(ls '$XDG_CONFIG_HOME/Brenmoor/Orvane' | grep ovs)\" ]"

"$bin" /o "HTML catalogue" /l "$tmp/tree" "$tmp/catalogue.txt" --type text 2>"$tmp/err"
check "quick configuration by name" "[ $? -eq 0 ] && head -2 '$tmp/catalogue.txt' | grep -q 'Type'"
check "catalogue: dynamic sizes and the summary at the bottom" "grep -q ' 5 B ' '$tmp/catalogue.txt' && tail -3 '$tmp/catalogue.txt' | grep -q '^# Directories: 2, Files: 2'"

"$bin" /o "CSV inventory" /l "$tmp/tree" "$tmp/inventory.txt" --type=text 2>/dev/null
check "inventory: full paths, creation date, seconds, no directory rows" "grep -q '^$tmp/tree/sub/b.txt ' '$tmp/inventory.txt' && head -1 '$tmp/inventory.txt' | grep -q 'Creation date' && grep -Eq '[0-9]{2}:[0-9]{2}:[0-9]{2}' '$tmp/inventory.txt' && ! grep -q '(1)' '$tmp/inventory.txt'"

"$bin" /o "Text with hashes" /l "$tmp/tree" "$tmp/hashes.txt" 2>/dev/null
check "text with hashes shows the hash columns" "grep -q 'CRC32 *MD5 *SHA1' '$tmp/hashes.txt'"

printf '[Settings]\n1391=0\n' >"$tmp/mine.ovc"
# A "." anywhere in the name (mktemp's folder has one) keeps the name as it is: go relative.
(cd "$tmp" && "$bin" /o mine /l tree mine.out --columns=2,11 2>/dev/null)
check "/o adds .ovc; -- options apply on top" "[ $? -eq 0 ] && head -2 '$tmp/mine.out' | grep -q Owner"
"$bin" -o "$tmp/mine.ovc" -l "$tmp/tree" "$tmp/mine2.out" 2>/dev/null
check "dash switches" "[ -s '$tmp/mine2.out' ] && ! head -2 '$tmp/mine2.out' | grep -q Size"

"$bin" /o "$tmp/none.ovc" /l "$tmp/tree" "$tmp/x.txt" 2>"$tmp/err"
rc=$?
check "missing configuration fails with one line" "[ $rc -eq 1 ] && [ \$(wc -l <'$tmp/err') -eq 1 ] && [ ! -e '$tmp/x.txt' ]"
head -c 3000 /dev/urandom >"$tmp/garbage.ovc"
"$bin" /o "$tmp/garbage.ovc" /l "$tmp/tree" "$tmp/y.txt" 2>"$tmp/err"
rc=$?
check "garbage configuration does not crash" "[ $rc -eq 0 ] || [ $rc -eq 1 ]"

env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$bin" 2>"$tmp/err"
check "no switches without a display: no window, non-zero" "[ $? -eq 2 ] && grep -Eq 'window is not built yet|no display' '$tmp/err'"
"$bin" --help >"$tmp/help"
check "--help" "[ $? -eq 0 ] && grep -q '/o CONFIG' '$tmp/help' && grep -q -- '--type' '$tmp/help'"

[ $fail -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
