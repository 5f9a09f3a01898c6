#!/usr/bin/env bash
# Draws the program's own pictures into app/res with ImageMagick: the program
# icon (16, 32 and 48 pixels) and the two donation buttons. Run by hand when
# the artwork changes; the results are committed.
set -euo pipefail
cd "$(dirname "$0")/../app/res"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The icon: a pie with three slices, one pulled out, on a rounded tile.
for s in 16 32 48; do
  r=$(( s * 7 / 16 )); c=$(( s / 2 ))
  convert -size ${s}x${s} xc:none \
    -fill '#2B5C9A' -draw "roundrectangle 0,0 $((s-1)),$((s-1)) $((s/6)),$((s/6))" \
    -fill '#FFFFFF' -draw "circle $c,$c $c,$((c-r+1))" \
    -fill '#40699C' -draw "path 'M $c,$c L $((c+r-2)),$c A $((r-2)),$((r-2)) 0 0,1 $c,$((c+r-2)) Z'" \
    -fill '#7F9A48' -draw "path 'M $c,$c L $c,$((c+r-2)) A $((r-2)),$((r-2)) 0 0,1 $((c-r+2)),$c Z'" \
    -fill '#CC7B38' -draw "path 'M $((c+1)),$((c-1)) L $((c+1)),$((c-r+1)) A $((r-2)),$((r-2)) 0 0,1 $((c+r-1)),$((c-1)) Z'" \
    "$tmp/icon$s.png"
done
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" Quorvel.ico

# The donation buttons: a rounded yellow button with a heart and a caption.
button() {
  convert -size 130x40 xc:none \
    -fill '#E0A800' -draw "roundrectangle 0,0 129,39 10,10" \
    -fill '#FFC439' -draw "roundrectangle 1,1 128,37 9,9" \
    -fill '#C0392B' -draw "circle 16,17 16,12" -draw "circle 24,17 24,12" \
    -draw "polygon 11,19 29,19 20,29" \
    -font Liberation-Sans-Bold -pointsize 15 -fill '#1B3D6E' -gravity West -annotate +36+0 "$1" \
    -background '#F0F0F0' -flatten -type TrueColor "BMP3:$2"
}
button "Faire un don" PAYPAL_FR.bmp
button "Donate" PAYPAL_EN.bmp
