#!/usr/bin/env bash
# Regenerates the Windows Media fixtures with ffmpeg's own WMA and WMV encoders.
set -euo pipefail
cd "$(dirname "$0")"
ff=(ffmpeg -hide_banner -loglevel error -y -fflags +bitexact)
tags=(-metadata title="Test Title" -metadata artist="Test Artist" -metadata album="Test Album"
  -metadata WM/Year=2004 -metadata genre=Ambient -metadata track=5 -metadata comment="A comment"
  -metadata copyright="(c) Brenmoor" -metadata WM/Composer="Test Composer"
  -metadata WM/AuthorURL=http://example.org/)
# WMA version 2, 22,050 Hz mono, 0.5 s, with tags.
"${ff[@]}" -f lavfi -i sine=sample_rate=22050 -t 0.5 -c:a wmav2 -b:a 32k -ac 1 "${tags[@]}" \
  -flags +bitexact tagged.wma
# WMV version 2 (WMV8) video, 32x24 at 25 frames per second, with WMA 1 sound, 0.4 s.
"${ff[@]}" -f lavfi -i testsrc=size=32x24:rate=25 -f lavfi -i sine=sample_rate=11025 -t 0.4 \
  -c:v wmv2 -q:v 31 -c:a wmav1 -b:a 24k -ac 1 -metadata title="Clip" -flags +bitexact wmv2.wmv
# WMV version 1 (WMV7) at 30000/1001 frames per second, video only.
"${ff[@]}" -f lavfi -i testsrc=size=16x16:rate=30000/1001 -t 0.2 -c:v wmv1 -q:v 31 \
  -flags +bitexact wmv1_2997.asf
