#!/usr/bin/env bash
# The batch command line as a user meets it: every option --help lists is accepted, column names
# work both ways, "-" writes to standard output, mistakes get one line naming the nearest valid
# choice, the manual page renders and the bash completion completes.
set -u
bin=$(realpath "$1")
src=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

export XDG_CONFIG_HOME="$tmp/config"
export TMPDIR="$tmp/t"
mkdir -p "$TMPDIR" "$tmp/tree/sub"
printf 'hello' >"$tmp/tree/a.txt"
printf 'x' >"$tmp/tree/sub/b.txt"

# Every option of --help, with a value of the kind its line shows.
value_for() {
  case $1 in
    LIST) echo name,size ;; KEYS) echo -size,name ;; MASKS) echo '*.txt' ;; TEXT) echo Title ;;
    N) echo 2 ;; *) echo "${1%%|*}" ;;
  esac
}
count=0 refused=""
while read -r opt val; do
  count=$((count + 1))
  args=("$opt")
  [ -n "$val" ] && args+=("$(value_for "$val")")
  "$bin" -l "$tmp/tree" - "${args[@]}" >/dev/null 2>"$tmp/err" || refused+=" ${args[*]}"
done < <("$bin" --help | sed -nE 's/^  (--[a-z-]+)( ([^ ]+))?(  .*|$)/\1 \3/p')
check "all $count options of --help are accepted" "[ $count -ge 30 ] && [ -z '$refused' ]"
[ -n "$refused" ] && echo "refused:$refused"

# "-": the same bytes as a file, and no temporary file left behind.
"$bin" -l "$tmp/tree" "$tmp/file.txt" --no-program-info 2>/dev/null
"$bin" -l "$tmp/tree" - --no-program-info >"$tmp/stdout.txt" 2>/dev/null
rc=$?
check "\"-\" writes the listing to standard output" "[ $rc -eq 0 ] && cmp -s '$tmp/file.txt' '$tmp/stdout.txt'"
check "\"-\" leaves no temporary file" "[ -z \"\$(ls -A '$TMPDIR')\" ] && [ ! -e '$tmp/tree/-' ] && [ ! -e ./- ]"
"$bin" -l "$tmp/missing.ovs" - >"$tmp/stdout2.txt" 2>/dev/null
check "a failed run puts nothing on standard output" "[ $? -eq 1 ] && [ ! -s '$tmp/stdout2.txt' ]"

# Mistakes: one line on stderr naming the nearest valid choice, exit status 2, nothing written.
"$bin" -l "$tmp/tree" "$tmp/bad.csv" --columns name,siez 2>"$tmp/err"
rc=$?
check "misspelt column: exit 2 and one line" "[ $rc -eq 2 ] && [ \$(wc -l <'$tmp/err') -eq 1 ] && [ ! -e '$tmp/bad.csv' ]"
check "misspelt column: the nearest name" "grep -qx 'orvane: --columns: unknown column \"siez\"; did you mean \"size\"?' '$tmp/err'"
"$bin" -l "$tmp/tree" "$tmp/bad.csv" --colums name 2>"$tmp/err"
rc=$?
check "misspelt option: exit 2 and the nearest option" "[ $rc -eq 2 ] && grep -qx 'orvane: unknown option --colums; did you mean --columns?' '$tmp/err'"

# Column names both ways: the name of each id lists the same column as its number, and the header
# a listing shows leads back to the column.
"$bin" --list-columns >"$tmp/columns"
check "--list-columns lists 58 distinct names" "[ \$(awk '{print \$2}' '$tmp/columns' | sort -u | wc -l) -eq 58 ]"
header() { "$bin" -l "$tmp/tree" - --type csv --no-program-info --columns "$1" 2>/dev/null | head -1; }
mismatch=""
while read -r id name _; do
  [ "$(header "$id")" = "$(header "$name")" ] || mismatch+=" $id=$name"
done <"$tmp/columns"
check "every column name lists the column of its number" "[ -z '$mismatch' ]"
h=$(header last-write-date,md5 | tr -d '\r\357\273\277')
check "names give the headers" "[ \"\$h\" = 'Name;Last write date;MD5' ]"
check "headers lead back to the same columns" "[ \"\$(header 'Last write date,MD5')\" = \"\$(header 7,21)\" ]"

# The manual page renders and names every option and column.
MANWIDTH=100 man -l "$src/docs/orvane.1" >"$tmp/man.txt" 2>"$tmp/man.err"
check "the manual page renders without warnings" "[ $? -eq 0 ] && [ ! -s '$tmp/man.err' ] && grep -q '^SYNOPSIS' '$tmp/man.txt'"
sed -zi 's/-\n */-/g' "$tmp/man.txt"  # words broken after a hyphen
missing=""
for word in $(awk '{print $2}' "$tmp/columns") $("$bin" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "$word" "$tmp/man.txt" || missing+=" $word"
done
check "the manual page names every column and option" "[ -z '$missing' ]"
[ -n "$missing" ] && echo "missing:$missing"

# /l without an output file needs the window's save dialog: without a display the run says so
# and exits 2, and /r still removes the selection file (never a folder).
printf '3|%s\n' "$tmp/tree" >"$tmp/once.ovs"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" /l "$tmp/once.ovs" /r 2>"$tmp/err"
rc=$?
check "/l without OUTPUT and without a display exits 2 with a message" \
  "[ $rc -eq 2 ] && grep -q 'no output file given' '$tmp/err' && [ ! -e '$tmp/once.ovs' ]"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" /l "$tmp/tree" /r 2>/dev/null
check "/l FOLDER /r leaves the folder alone" "[ -f '$tmp/tree/a.txt' ]"

# The bash completion, asked as bash would ask it.
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _orvane; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$src/data/completion/orvane" "$@"
}
check "completion: options" "[ \"\$(complete_words '$bin' --colu)\" = --columns ]"
check "completion: output types" "[ \"\$(complete_words '$bin' --type '' | tr '\n' ' ')\" = 'text html csv ' ]"
check "completion: column names in a list" "complete_words '$bin' --columns name,last-w | grep -qx name,last-write-date"
check "completion: descending sort keys" "complete_words '$bin' --sort -siz | grep -qx -- -size"

[ $fail -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
