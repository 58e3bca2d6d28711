#!/usr/bin/env bash
# Regenerates the AVI fixtures with ffmpeg (small on purpose: a few frames each).
set -euo pipefail
cd "$(dirname "$0")"
ff=(ffmpeg -hide_banner -loglevel error -y -fflags +bitexact)
# Uncompressed 24-bit video, 16x16, 25 frames per second, 10 frames.
"${ff[@]}" -f lavfi -i testsrc=size=16x16:rate=25 -t 0.4 -c:v rawvideo -pix_fmt bgr24 \
  -flags +bitexact raw_bgr24.avi
# MPEG-4 part 2 video (fourcc FMP4) with an MP3 sound track, 64x48, 25 frames per second.
"${ff[@]}" -f lavfi -i testsrc=size=64x48:rate=25 -f lavfi -i sine=frequency=440:sample_rate=22050 \
  -t 1 -c:v mpeg4 -q:v 31 -c:a libmp3lame -b:a 32k -ac 1 -flags +bitexact mpeg4_mp3.avi
# The same video tagged XVID, and Motion JPEG at 29.97 frames per second.
"${ff[@]}" -f lavfi -i testsrc=size=32x24:rate=25 -t 0.4 -c:v mpeg4 -q:v 31 -vtag XVID \
  -flags +bitexact xvid.avi
"${ff[@]}" -f lavfi -i testsrc=size=16x16:rate=30000/1001 -t 0.5 -c:v mjpeg -q:v 31 \
  -flags +bitexact mjpeg_2997.avi
# A codec Orvane has no name for (fourcc QQQQ) with 8-bit PCM sound.
"${ff[@]}" -f lavfi -i testsrc=size=32x24:rate=10 -f lavfi -i sine=sample_rate=8000 -t 0.3 \
  -c:v mpeg4 -q:v 31 -vtag QQQQ -strict experimental -c:a pcm_u8 -flags +bitexact \
  unknown_codec.avi
