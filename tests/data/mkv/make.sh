#!/usr/bin/env bash
# Regenerates the Matroska fixtures with ffmpeg (a second or less each, a few KB).
set -euo pipefail
cd "$(dirname "$0")"
ff=(ffmpeg -hide_banner -loglevel error -y -fflags +bitexact)
# H.264 video 64x48 at 25 frames per second with Vorbis sound, 1 s.
"${ff[@]}" -f lavfi -i testsrc=size=64x48:rate=25 -f lavfi -i sine=sample_rate=22050 -t 1 \
  -c:v libx264 -preset ultrafast -crf 51 -c:a libvorbis -q:a 0 -ac 1 -flags +bitexact h264_vorbis.mkv
# MPEG-4 part 2 video at 30000/1001 frames per second with FLAC sound in 24 bits, 0.3 s.
"${ff[@]}" -f lavfi -i testsrc=size=32x24:rate=30000/1001 -f lavfi -i sine=sample_rate=16000 \
  -t 0.3 -c:v mpeg4 -q:v 31 -c:a flac -sample_fmt s32 -bits_per_raw_sample 24 -ac 2 \
  -flags +bitexact mpeg4_flac.mkv
# Sound only: FLAC, 16-bit mono at 8,000 Hz.
"${ff[@]}" -f lavfi -i sine=sample_rate=8000 -t 0.75 -c:a flac -flags +bitexact flac.mka
