#!/usr/bin/env bash
# Compares the listings two builds of Orvane write, byte for byte: the same folders in text, HTML
# and CSV with several configurations (the quick configurations of data/ and sets of batch
# options), plus the listings written into each directory.
# Usage: scripts/compare-listings.sh REF_BINARY NEW_BINARY [FOLDER...]
# Without folders it lists /usr/share and a tree of archives, media files and documents made
# from tests/data. A listing that differs is run again with the reference build (a last-access
# time may have moved meanwhile); it counts as different only when it still differs. Exits 1
# when any listing differs. Settings come from an empty configuration folder, not the user's.
set -uo pipefail
ref=$(realpath "$1")
new=$(realpath "$2")
shift 2
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config ORVANE_SMB_BROWSE=no
mkdir -p "$XDG_CONFIG_HOME"

# A tree with archives (listed as folders with --archives), media files, documents and
# programs, two levels deep, with a name that is not UTF-8.
tree=$work/tree
mkdir -p "$tree/inner/deeper"
cp -r "$src/tests/data/." "$tree/"
cp "$src"/tests/data/zip/*.zip "$tree/inner/"
cp "$src"/tests/data/rar/*.rar "$tree/inner/deeper/"
printf 'x' >"$tree/inner/bad$(printf '\377')name.txt"
folders=("$@")
[ ${#folders[@]} -eq 0 ] && folders=(/usr/share "$tree")

# Sets of batch options; each runs in the three output types.
configs=(
  ""
  "/o CSV_inventory"
  "/o HTML_catalogue"
  "/o Text_with_hashes"
  "--columns 0-11 --sort -size,name --dir-sort -size --auto-widths --summary top"
  "--columns 1-57 --auto-widths --archives --size-unit dynamic --precision 2"
  "--files-together --sort extension,-last-write-date --columns number,path,size,type"
  "--archives --hide-empty --mask *.txt;*.zip;*.mp3;*.png --summary bottom --path-form 1"
  "--path-form 2 --no-dir-rows --sort none --columns 5,7,10,11 --links --dir-links"
  "--path-form 3 --recursion 1 --no-subdirs --encoding utf16 --no-time"
  "--sort -none --dir-sort -none --no-header --wrap --separator tab --encoding ansi"
)

run() {  # run BINARY CONFIG TYPE FOLDER OUT
  local cfg=${2//CSV_inventory/CSV inventory}
  local args=()
  if [[ $cfg == "/o "* ]]; then
    local name=${cfg#/o }
    name=${name//HTML_catalogue/HTML catalogue}
    name=${name//Text_with_hashes/Text with hashes}
    args=(/o "$name")
  elif [ -n "$cfg" ]; then
    read -r -a args <<<"$cfg"
  fi
  "$1" "${args[@]}" -l "$4" "$5" --type "$3" --no-program-info >/dev/null 2>"$5.err"
  echo "exit $?" >>"$5.err"
}

same=0 differ=0
for folder in "${folders[@]}"; do
  for cfg in "${configs[@]}"; do
    for type in text html csv; do
      a=$work/ref.out b=$work/new.out
      run "$ref" "$cfg" "$type" "$folder" "$a"
      run "$new" "$cfg" "$type" "$folder" "$b"
      if ! cmp -s "$a" "$b" || ! cmp -s "$a.err" "$b.err"; then
        run "$ref" "$cfg" "$type" "$folder" "$a"
      fi
      if cmp -s "$a" "$b" && cmp -s "$a.err" "$b.err"; then
        same=$((same + 1))
      else
        differ=$((differ + 1))
        echo "DIFFERENT: $folder [$cfg] $type"
        cmp "$a" "$b" | head -1
      fi
      printf '%s [%s] %s: %s bytes, %s\n' "$folder" "$cfg" "$type" "$(stat -c %s "$b")" \
        "$(tail -1 "$b.err")"
    done
  done
done

# Listings written into each directory (the archive tree only; it is ours to write into).
# Writing and removing them changes the folders' last-write times, which the folder rows
# show, so those times are put back after each run.
(cd "$tree" && find . -type d -printf '%T@ %p\n') >"$work/stamps"
restore_times() {
  while read -r t p; do touch -m -d "@$t" "$tree/$p"; done <"$work/stamps"
}
for type in text html csv; do
  for i in 0 1; do
    bin=$ref
    [ $i = 1 ] && bin=$new
    "$bin" -l "$tree" "$work/each.out" --type "$type" --no-program-info --listing-in-each-dir \
      --archives >/dev/null 2>&1
    (cd "$tree" && find . -name '_thisdir.*' -print0 | sort -z | xargs -0 cat) >"$work/each-$i-$type"
    cat "$work/each.out" >>"$work/each-$i-$type"
    find "$tree" -name '_thisdir.*' -delete
    restore_times
  done
done
for type in text html csv; do
  if cmp -s "$work/each-0-$type" "$work/each-1-$type"; then
    same=$((same + 1))
  else
    differ=$((differ + 1))
    echo "DIFFERENT: listings in each directory, $type"
  fi
done
echo "listings compared: $((same + differ)), identical: $same, different: $differ"
[ "$differ" -eq 0 ]
