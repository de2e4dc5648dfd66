#!/usr/bin/env bash
# Draws the program icon IDI_APP_BNF (32 x 32 and 16 x 16) with ImageMagick:
# a sheet of paper leaving a roll printer. The .ico is committed; run this
# only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
draw() {  # size scale
  local s=$1 k=$2
  convert -size "${s}x${s}" xc:none \
    -fill '#f4f4f4' -stroke '#606060' -strokewidth 1 \
    -draw "rectangle $((8*k/4)),$((1*k/4)),$((23*k/4)),$((20*k/4))" \
    -stroke none -fill '#d02070' -draw "rectangle $((10*k/4)),$((4*k/4)),$((21*k/4)),$((6*k/4))" \
    -fill '#20a0d0' -draw "rectangle $((10*k/4)),$((8*k/4)),$((21*k/4)),$((10*k/4))" \
    -fill '#e0c020' -draw "rectangle $((10*k/4)),$((12*k/4)),$((21*k/4)),$((14*k/4))" \
    -fill '#3a4a6a' -stroke '#1a2030' -draw "roundrectangle $((1*k/4)),$((16*k/4)),$((30*k/4)),$((28*k/4)),2,2" \
    -stroke none -fill '#40e040' -draw "rectangle $((24*k/4)),$((20*k/4)),$((27*k/4)),$((22*k/4))" \
    -fill '#101010' -draw "rectangle $((5*k/4)),$((23*k/4)),$((26*k/4)),$((24*k/4))" \
    "PNG32:$tmp/icon$s.png"
}
draw 32 4
draw 16 2
convert "$tmp/icon32.png" "$tmp/icon16.png" IDI_APP_BNF.ico
