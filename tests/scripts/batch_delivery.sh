#!/usr/bin/env bash
# End-to-end checks of delivery without a window, with fake xdg-open and xdg-email on PATH that
# record their arguments: open after save, mail mode, failures and their exit statuses, /r.
set -u
bin=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }
wait_for() { for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.05; done; return 1; }

export XDG_CONFIG_HOME="$tmp/config"
export TMPDIR="$tmp/t"
mkdir -p "$TMPDIR" "$tmp/tree" "$tmp/fake" "$XDG_CONFIG_HOME/Brenmoor/Orvane"
printf 'hello' >"$tmp/tree/a.txt"
cat >"$tmp/fake/xdg-open" <<SH
#!/bin/sh
printf '%s\n' "\$@" >"$tmp/open.log"
SH
cat >"$tmp/fake/xdg-email" <<SH
#!/bin/sh
printf '%s\n' "\$@" >"$tmp/email.log"
for a; do [ -f "\$a" ] && cp "\$a" "$tmp/attached"; done
[ -f "$tmp/mail-fails" ] && exit 2
exit 0
SH
chmod +x "$tmp/fake/"*
export PATH="$tmp/fake:$PATH"
settings="$XDG_CONFIG_HOME/Brenmoor/Orvane/Orvane.ini"

printf '[Settings]\n1517=1\n' >"$settings"
(cd "$tmp" && "$bin" /l tree rel.txt 2>/dev/null)
check "save exits 0" "[ $? -eq 0 ] && [ -s '$tmp/rel.txt' ]"
check "open after save: xdg-open gets the absolute path" "wait_for '$tmp/open.log' && [ \"\$(cat '$tmp/open.log')\" = '$tmp/rel.txt' ]"
printf '[Settings]\n1517=0\n' >"$settings"
rm -f "$tmp/open.log"
"$bin" /l "$tmp/tree" "$tmp/b.txt" 2>/dev/null
sleep 0.3
check "no open when 1517 is 0" "[ ! -e '$tmp/open.log' ]"

printf '[Settings]\n1441=0\n' >"$settings"
"$bin" /e "$tmp/tree" 2>"$tmp/err"
rc=$?
check "mail mode exits 0" "[ $rc -eq 0 ]"
check "xdg-email gets subject and attachment" "[ \"\$(sed -n 1,3p '$tmp/email.log' | tr '\n' '|')\" = '--subject|Orvane listing|--attach|' ]"
att=$(sed -n 4p "$tmp/email.log")
check "attachment is Listing.txt in a private folder of \$TMPDIR" "case '$att' in '$TMPDIR'/orvane-mail-*/Listing.txt) true;; *) false;; esac"
check "attachment holds the listing and is kept" "[ -f '$att' ] && grep -q 'a.txt' '$tmp/attached'"
check "attachment folder is private" "[ \"\$(stat -c %a \"\$(dirname '$att')\")\" = 700 ]"

touch "$tmp/mail-fails"
"$bin" /e "$tmp/tree" 2>"$tmp/err"
rc=$?
check "failing send exits 1 with text 61842" "[ $rc -eq 1 ] && grep -qx 'orvane: Send Mail failed to send message.' '$tmp/err'"
rm -f "$tmp/mail-fails" "$tmp/fake/xdg-email"
PATH="$tmp/fake" "$bin" /e "$tmp/tree" 2>"$tmp/err"
rc=$?
check "no mail system: text 61840, exit 1" "[ $rc -eq 1 ] && grep -qx 'orvane: Unable to load mail system support.' '$tmp/err'"

touch -d '3 days ago' "$(dirname "$att")"
"$bin" /l "$tmp/tree" "$tmp/c.txt" 2>/dev/null
check "stale attachments go at the next start" "[ ! -e '$att' ]"

"$bin" /l "$tmp/tree" "$tmp/no/such/dir/out.txt" 2>"$tmp/err"
rc=$?
check "unwritable output exits 1 with one line" "[ $rc -eq 1 ] && [ \$(wc -l <'$tmp/err') -eq 1 ]"

printf '\xef\xbb\xbf3|%s\r\n' "$tmp/tree" >"$tmp/sel.ovs"
"$bin" /l "$tmp/sel.ovs" "$tmp/d.txt" /r 2>/dev/null
check "/r with an output file keeps the selection" "[ -f '$tmp/sel.ovs' ]"
# Without an output file and without a display there is no save dialog: the run ends at once.
nodisplay="env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM"
(cd "$tmp" && $nodisplay timeout 60 "$bin" /l sel /r 2>/dev/null)
check "/r without an output file removes it" "[ ! -e '$tmp/sel.ovs' ]"
$nodisplay timeout 60 "$bin" /l "$tmp/tree" /r 2>/dev/null
check "/r never removes a directory" "[ -d '$tmp/tree' ]"

[ $fail -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
