#!/usr/bin/env bash
# Media columns benchmark: lists a folder of a few hundred media files (MP3, JPEG, PNG, GIF, BMP,
# TIFF, AVI, Matroska, WMV, WMA, WAV) with Orvane's multimedia and tag columns, and reads the
# same folder with `mediainfo --Output=JSON`, then prints the median wall time of each over
# several runs and their ratio. The aim is Orvane at least twice as fast.
#
# Usage: bench/media.sh [BUILD_DIR]   (default: build; the program is BUILD_DIR/orvane)
# Environment: RUNS (timed runs of each, default 5, at least 5), COPIES (copies of each
# generated file, default 20), KEEP=1 keeps the work folder.
# Needs ffmpeg, sox, lame, ImageMagick (convert) and mediainfo.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
orvane=$build/orvane
runs=${RUNS:-5}
copies=${COPIES:-20}
((runs >= 5)) || runs=5

for tool in ffmpeg sox lame convert mediainfo; do
  command -v "$tool" >/dev/null || { echo "media.sh: $tool is not installed" >&2; exit 2; }
done

work=$(mktemp -d)
[[ ${KEEP:-0} == 1 ]] && echo "work folder: $work" || trap 'rm -rf "$work"' EXIT
gen=$work/gen
dir=$work/media
mkdir -p "$gen" "$dir"

# --- Generate one file of each kind -------------------------------------------------------
ff=(ffmpeg -hide_banner -loglevel error -y)
video=(-f lavfi -i testsrc=size=320x240:rate=25)
sound=(-f lavfi -i sine=frequency=440:sample_rate=44100)
tags=(-metadata title="Bench Title" -metadata artist="Bench Artist" -metadata album="Bench Album"
  -metadata genre=Ambient -metadata track=3)

"${ff[@]}" "${video[@]}" "${sound[@]}" -t 5 -c:v mpeg4 -q:v 8 -c:a libmp3lame -b:a 96k \
  "$gen/mpeg4.avi"
"${ff[@]}" "${video[@]}" "${sound[@]}" -t 3 -c:v mjpeg -q:v 10 -c:a pcm_s16le "$gen/mjpeg.avi"
"${ff[@]}" -f lavfi -i testsrc=size=160x120:rate=10 -t 2 -c:v rawvideo -pix_fmt bgr24 \
  "$gen/raw.avi"
"${ff[@]}" "${video[@]}" "${sound[@]}" -t 5 -c:v libx264 -preset ultrafast -c:a libvorbis \
  "$gen/h264.mkv"
"${ff[@]}" "${sound[@]}" -t 5 -c:a flac "$gen/sound.mka"
"${ff[@]}" "${video[@]}" "${sound[@]}" -t 5 -c:v wmv2 -q:v 8 -c:a wmav2 -b:a 64k "${tags[@]}" \
  "$gen/clip.wmv"
"${ff[@]}" "${sound[@]}" -t 10 -c:a wmav2 -b:a 64k "${tags[@]}" "$gen/song.wma"
sox -n -r 44100 -b 16 -c 2 "$gen/pcm.wav" synth 5 sine 440
sox -n -r 22050 -c 1 -e ima-adpcm "$gen/adpcm.wav" synth 5 sine 440
sox -n -r 44100 -b 16 -c 2 "$gen/mp3src.wav" synth 10 sine 440
lame --quiet -b 128 --tt "Bench Title" --ta "Bench Artist" --tl "Bench Album" --ty 2001 \
  --tn 3 --tg Ambient "$gen/mp3src.wav" "$gen/song.mp3"
lame --quiet -V 4 "$gen/mp3src.wav" "$gen/vbr.mp3"
rm "$gen/mp3src.wav"
for ext in jpg png gif bmp tif; do
  convert -size 640x480 plasma:fractal -seed 7 "$gen/picture.$ext" 2>/dev/null ||
    convert -size 640x480 gradient:blue-yellow "$gen/picture.$ext"
done

# --- Copy them up to a few hundred files --------------------------------------------------
for f in "$gen"/*; do
  name=$(basename "$f")
  for ((i = 1; i <= copies; i++)); do cp "$f" "$dir/${name%.*}_$i.${name##*.}"; done
done
count=$(find "$dir" -type f | wc -l)
size=$(du -sh "$dir" | cut -f1)
echo "media folder: $count files, $size"

# --- Timing -------------------------------------------------------------------------------
now_ns() { date +%s%N; }
# median_ms CMD...: runs the command once to warm up, then $runs times; prints the median
# wall time in milliseconds. Fails when the command fails.
median_ms() {
  local times=() t0 t1
  "$@" >/dev/null 2>&1 || return 1
  for ((r = 0; r < runs; r++)); do
    t0=$(now_ns)
    "$@" >/dev/null 2>&1 || return 1
    t1=$(now_ns)
    times+=($(((t1 - t0) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {
    if (NR % 2) print a[(NR + 1) / 2]; else print int((a[NR / 2] + a[NR / 2 + 1]) / 2) }'
}

run_mediainfo() { mediainfo --Output=JSON "$dir"; }
run_orvane() { "$orvane" -l "$dir" "$work/out.txt" --columns 2,40-57; }

mi=$(median_ms run_mediainfo) || { echo "mediainfo failed" >&2; exit 1; }
echo "mediainfo --Output=JSON: median ${mi} ms over $runs runs"

if [[ ! -x $orvane ]]; then
  echo "orvane: $orvane not found (build it first)" >&2
  exit 1
fi
if ! ov=$(median_ms run_orvane); then
  echo "orvane: the listing failed:" >&2
  run_orvane >&2 || true
  exit 1
fi
rows=$(grep -c . "$work/out.txt" || true)
echo "orvane -l --columns 2,40-57: median ${ov} ms over $runs runs ($rows lines listed)"
awk -v mi="$mi" -v ov="$ov" 'BEGIN {
  if (ov <= 0) ov = 1
  r = mi / ov
  verdict = (r >= 2) ? "met" : "NOT met"
  printf "ratio mediainfo / orvane: %.2f (target at least 2.00: %s)\n", r, verdict
}'
