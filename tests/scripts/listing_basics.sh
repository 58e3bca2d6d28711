#!/usr/bin/env bash
# End-to-end checks of the batch listing: exit codes and messages, selection files, the text
# file's encoding and line ends, listings in each directory.
set -u
bin=$1
tmp=$(mktemp -d)
trap 'chmod -R u+rwx "$tmp"; rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

mkdir -p "$tmp/tree/sub"
printf 'hello' >"$tmp/tree/a.txt"
printf 'x' >"$tmp/tree/sub/b.txt"

"$bin" -l "$tmp/tree" "$tmp/out.txt" 2>"$tmp/err"
check "directory selection exits 0" "[ $? -eq 0 ]"
check "listing starts with a UTF-8 mark" "head -c3 '$tmp/out.txt' | od -An -tx1 | grep -q 'ef bb bf'"
check "every line ends with CR LF" "! tr -d '\r' <'$tmp/out.txt' | cmp -s - '$tmp/out.txt' && [ \$(grep -c \$'\r\$' '$tmp/out.txt') -eq \$(wc -l <'$tmp/out.txt') ]"
check "rows name the files" "grep -q 'a.txt' '$tmp/out.txt' && grep -q 'b.txt' '$tmp/out.txt'"

"$bin" -l "$tmp/missing.ovs" "$tmp/out2.txt" 2>"$tmp/err"
rc=$?
check "missing selection fails" "[ $rc -ne 0 ] && [ \$(wc -l <'$tmp/err') -eq 1 ]"

"$bin" -l "$tmp/tree" "$tmp/nodir/out.txt" 2>"$tmp/err"
rc=$?
check "unwritable output fails with a message" "[ $rc -ne 0 ] && grep -q 'cannot write' '$tmp/err'"

printf '\xef\xbb\xbf3|%s\r\n2|%s\r\n9|/ignored\r\n' "$tmp/tree" "$tmp/tree/sub" >"$tmp/sel.ovs"
"$bin" -l "$tmp/sel.ovs" "$tmp/out3.txt" 2>/dev/null
check "selection file lists its directories" "[ \$(grep -c '$tmp/tree/sub/' '$tmp/out3.txt') -eq 1 ]"

"$bin" -l "$tmp/tree" "$tmp/out4.txt" --listing-in-each-dir 2>/dev/null
check "listing in each directory" "[ -f '$tmp/tree/_thisdir.txt' ] && [ -f '$tmp/tree/sub/_thisdir.txt' ]"

"$bin" --version | grep -q 'Orvane'
check "--version" "[ $? -eq 0 ]"
"$bin" --bogus 2>/dev/null
check "unknown option fails" "[ $? -ne 0 ]"

[ $fail -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
