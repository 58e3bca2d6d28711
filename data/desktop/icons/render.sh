#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG (needs rsvg-convert from librsvg2-bin). The PNGs
# are committed, so a build needs no renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" org.brenmoor.Orvane.svg -o "hicolor/${size}x${size}/apps/org.brenmoor.Orvane.png"
done
