#!/usr/bin/env bash
# Regenerates the MP3 fixtures with real encoders (sox, lame, ffmpeg). Each file is a few KB.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

sox -n -r 32000 -c 1 "$tmp/tone32k.wav" synth 2.5 sine 440
sox -n -r 22050 -c 1 "$tmp/sweep22k.wav" synth 3 sine 200-3000

# MPEG-1 Layer 3, 32 kHz mono, constant 32 kbit/s; ID3v2.3 (UTF-16 texts) and ID3v1 with track 7.
lame --quiet -b 32 --resample 32 -m m --tt "Song" --ta "Artist" --tl "Album" --ty 2003 \
  --tc "A comment" --tn 7 --tg Rock "$tmp/tone32k.wav" lame_cbr.mp3

# MPEG-2 Layer 3, 22.05 kHz mono, variable bitrate with a Xing header; no tags.
lame --quiet -V 9 --resample 22.05 -m m "$tmp/sweep22k.wav" lame_vbr.mp3

# ffmpeg: ID3v2.4 with UTF-8 texts, no ID3v1.
ffmpeg -loglevel error -y -i "$tmp/tone32k.wav" -c:a libmp3lame -b:a 24k -ar 16000 \
  -id3v2_version 4 -metadata title="Café au lait" -metadata artist="Zoë" \
  -metadata album="Ångström" -metadata date=2021 -metadata track=3 -metadata genre="Jazz" \
  -metadata comment="Nice" ffmpeg_v24.mp3

# ffmpeg: ID3v2.3 with UTF-16 texts plus an ID3v1 tag.
ffmpeg -loglevel error -y -i "$tmp/tone32k.wav" -c:a libmp3lame -b:a 24k -ar 16000 \
  -id3v2_version 3 -write_id3v1 1 -metadata title="Song (Remix)" -metadata artist="Artist" \
  -metadata album="Ångström: A Very Long Album Title" -metadata date=1999 -metadata track=12 -metadata genre="Synth Pop" \
  ffmpeg_v23.mp3

# ffmpeg: ID3v2.3 and an ID3v1 tag whose texts ffmpeg writes as UTF-8 bytes; the artist is cut
# at the field's 30 bytes inside "ö". Half a second at 8 kHz keeps the file near 1 KB.
sox -n -r 16000 -c 1 "$tmp/short.wav" synth 0.5 sine 440
ffmpeg -loglevel error -y -i "$tmp/short.wav" -c:a libmp3lame -b:a 8k -ar 8000 \
  -id3v2_version 3 -write_id3v1 1 -metadata title="Zürich" \
  -metadata artist="Zürcher Kammerorchester & Chöre" -metadata album="Genève" \
  -metadata date=2020 -fflags +bitexact ffmpeg_utf8_v1.mp3

# MPEG-2 Layer 2 (1152 samples a frame, not 576), 16 kHz mono, 32 kbit/s, named .mp3.
ffmpeg -loglevel error -y -i "$tmp/tone32k.wav" -c:a mp2 -b:a 32k -ar 16000 -ac 1 \
  -t 2.2 -f mp2 layer2.mp3
