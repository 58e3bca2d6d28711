#!/usr/bin/env bash
# Regenerates the WAV fixtures with sox (short sounds, a few KB each).
set -euo pipefail
cd "$(dirname "$0")"
# 44,100 Hz, 16-bit stereo PCM, 20 ms.
sox -n -r 44100 -b 16 -c 2 -e signed-integer pcm16_stereo.wav synth 0.02 sine 440
# 8,000 Hz mono IMA ADPCM, half a second.
sox -n -r 8000 -c 1 -e ima-adpcm ima_adpcm.wav synth 0.5 sine 440
# 8,000 Hz mono u-law, 250 ms.
sox -n -r 8000 -c 1 -e u-law ulaw.wav synth 0.25 sine 440
# 48,000 Hz, 24-bit, three channels: sox writes the extensible wave format.
sox -n -r 48000 -b 24 -c 3 -e signed-integer extensible_24bit.wav synth 0.01 sine 440
