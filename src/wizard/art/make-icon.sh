#!/usr/bin/env bash
# Draws the program icon's 24-pixel picture with ImageMagick, the size of the
# caption's icon at 150 %, and puts it into Tamsel.ico beside the 16-, 32- and
# 48-pixel pictures, which it keeps as they are. Run it again after changing
# the drawing; the result is kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
B='#1f4e8c' R='#c8322d' G='#2e9e4f' W='#ffffff'
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The calendar of the other sizes, its squares on whole pixels.
convert -size 24x24 xc:none +antialias -stroke none \
  -fill "$B" -draw 'roundrectangle 1,2 22,22 3,3' \
  -fill "$R" -draw 'rectangle 3,4 20,8' \
  -fill "$W" -draw 'rectangle 3,9 20,20' \
  -fill "$B" -draw 'rectangle 6,11 8,13' -draw 'rectangle 11,11 13,13' -draw 'rectangle 16,11 18,13' \
  -draw 'rectangle 6,16 8,18' \
  -fill "$G" -draw 'rectangle 11,16 13,18' \
  "PNG32:$tmp/24.png"

# The other pictures, found by their size.
for size in 16 32 48; do
  index=$(identify -format '%p %w\n' Tamsel.ico | awk -v size="$size" '$2 == size { print $1; exit }')
  convert "Tamsel.ico[$index]" "PNG32:$tmp/$size.png"
done
convert "$tmp"/{16,24,32,48}.png Tamsel.ico
