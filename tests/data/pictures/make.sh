#!/usr/bin/env bash
# Regenerates the picture fixtures with ImageMagick and libjpeg-turbo's cjpeg. Every picture is
# 37 x 23 pixels (width and height differ, so a swap shows) and a few KB at most.
set -euo pipefail
cd "$(dirname "$0")"
im=/usr/bin/convert   # ImageMagick itself
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$im" -size 37x23 gradient:red-blue "$tmp/src.ppm"
"$im" -size 37x23 gradient:red-blue -alpha set -channel A -evaluate set 50% +channel "$tmp/alpha.png"

"$im" "$tmp/src.ppm" gradient.gif
"$im" "$tmp/src.ppm" -quality 80 baseline.jpg
cjpeg -progressive -quality 80 "$tmp/src.ppm" > progressive.jpg
cjpeg -arithmetic -quality 80 "$tmp/src.ppm" > arithmetic.jpg
"$im" "$tmp/src.ppm" -colorspace Gray -quality 80 grey.jpg
"$im" "$tmp/src.ppm" BMP3:rgb24.bmp                       # 40-byte header
"$im" "$tmp/src.ppm" -type Palette BMP2:os2.bmp           # 12-byte OS/2 header
"$im" "$tmp/alpha.png" BMP:v5.bmp                          # 124-byte header with alpha
"$im" "$tmp/src.ppm" PNG24:rgb.png
"$im" "$tmp/alpha.png" PNG32:rgba.png
"$im" "$tmp/src.ppm" -colorspace Gray -depth 16 PNG:grey16.png
"$im" "$tmp/src.ppm" rgb.pcx
"$im" "$tmp/src.ppm" -colors 16 -type Palette PCX:palette.pcx
"$im" "$tmp/src.ppm" -compress LZW rgb.tif
"$im" "$tmp/src.ppm" -define tiff:endian=msb -compress LZW big_endian.tif
"$im" "$tmp/src.ppm" rgb.tga
"$im" "$tmp/src.ppm" -compress RLE rle.tga
"$im" "$tmp/src.ppm" -colors 16 -type Palette -compress None palette.tga
