#!/usr/bin/env bash
# Draws the network selector's artwork with ImageMagick: the tree images (one
# strip per size, in the order of the image list's keys) and the three button
# pictures. Each drawing is given in the coordinates of its size at 96 DPI and
# drawn again, scaled, for 150 % and 200 %, so that no screen gets a
# stretched picture. Run it again after changing a drawing; the results are
# kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
B='#1f4e8c' R='#c8322d' G='#2e9e4f' Y='#e8b730' K='#404040' W='#ffffff' L='#9cc3ec' D='#a07a10'

folder=(-fill "$Y" -stroke "$D" -draw 'polygon 1,4 6,4 7,5 14,5 14,13 1,13')
# img NAME ARGS...: one tree image at the size in $size.
img() {
  local name=$1; shift
  convert -size "${size}x${size}" xc:none +antialias -affine "$(scale "$size" 16)" "$@" "PNG32:$name.png"
}
# The affine matrix that draws coordinates given for FROM pixels at TO pixels.
scale() { awk -v to="$1" -v from="$2" 'BEGIN { f = to / from; print f ",0,0," f ",0,0" }'; }

tree_images() {
  img directory "${folder[@]}" -stroke "$B" -fill "$L" -draw 'rectangle 4,8 11,11'
  img root -fill "$L" -stroke "$B" -draw 'circle 7.5,7.5 7.5,1.5' -fill none -draw 'ellipse 7.5,7.5 3,6 0,360' -draw 'line 1.5,7.5 13.5,7.5'
  img group -fill "$B" -stroke none -draw 'circle 5,5 5,3' -draw 'circle 11,5 11,3' -draw 'rectangle 2,8 7,13' -draw 'rectangle 9,8 14,13'
  img ndscontainer -fill "$L" -stroke "$B" -draw 'rectangle 2,3 13,13' -draw 'line 2,6 13,6' -fill "$R" -stroke none -draw 'rectangle 6,8 9,11'
  img network -fill "$L" -stroke "$B" -draw 'circle 7.5,6.5 7.5,1.5' -draw 'line 7.5,11.5 7.5,14' -draw 'line 2,14 13,14'
  img server -fill '#d8d8d8' -stroke "$K" -draw 'rectangle 4,1 11,14' -stroke "$B" -draw 'line 6,4 9,4' -draw 'line 6,6 9,6' -fill "$G" -stroke none -draw 'rectangle 6,11 7,12'
  img tree -fill "$G" -stroke none -draw 'polygon 7.5,1 13,10 2,10' -fill '#7a4a1a' -draw 'rectangle 6,10 9,14'
  img domain -fill '#d8d8d8' -stroke "$K" -draw 'rectangle 1,2 6,10' -draw 'rectangle 9,2 14,10' -stroke "$B" -draw 'line 3,13 12,13' -draw 'line 3,10 3,13' -draw 'line 12,10 12,13'
  img share "${folder[@]}" -stroke "$B" -strokewidth 2 -draw 'line 4,15 11,15' -draw 'line 7.5,13 7.5,15'
  img adminshare "${folder[@]}" -fill "$R" -stroke none -draw 'rectangle 9,9 14,14'
  img printer -fill '#d8d8d8' -stroke "$K" -draw 'rectangle 1,6 14,12' -fill "$W" -draw 'rectangle 4,2 11,6' -draw 'rectangle 4,10 11,14'
  img folder "${folder[@]}"
  img file -fill "$W" -stroke "$K" -draw 'polygon 3,1 10,1 13,4 13,14 3,14' -stroke "$B" -draw 'line 5,7 11,7' -draw 'line 5,9 11,9' -draw 'line 5,11 9,11'
}

keys=(directory root group ndscontainer network server tree domain share adminshare printer folder file)
for size in 16 24 32; do
  tree_images
  # Magenta marks the transparent pixels for the image list.
  convert "${keys[@]/%/.png}" +append -background '#ff00ff' -alpha remove -type TrueColor "BMP3:network-images-$size.bmp"
  rm -f "${keys[@]/%/.png}"
done

# button NAME ARGS...: a button picture drawn at 32, 48 and 64 pixels, the
# smaller sizes made from the 32-pixel one, all in one icon.
button() {
  local name=$1 size; shift
  for size in 32 48 64; do convert -size "${size}x${size}" xc:none -affine "$(scale "$size" 32)" "$@" "PNG32:$name-$size.png"; done
  for size in 16 24; do convert "$name-32.png" -resize "${size}x${size}" "PNG32:$name-$size.png"; done
  convert "$name"-{16,24,32,48,64}.png "$name.ico"
  rm "$name"-{16,24,32,48,64}.png
}
button confirm -fill "$G" -stroke none -draw 'polygon 3,17 8,12 13,18 25,5 30,10 13,28'
button password -fill "$Y" -stroke "$D" -strokewidth 2 -draw 'circle 10,16 10,9' -fill none -draw 'line 16,16 29,16' -draw 'line 25,16 25,21' -draw 'line 29,16 29,21' -fill "$W" -draw 'circle 10,16 10,13'
button exit -fill '#d8d8d8' -stroke "$K" -strokewidth 2 -draw 'rectangle 6,3 22,29' -fill "$R" -stroke none -draw 'polygon 16,16 27,8 27,24' -draw 'rectangle 12,13 20,19'
