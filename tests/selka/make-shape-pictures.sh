#!/bin/sh
# Draws "a character on a flat background" with ImageMagick as 24-bit RGB,
# 8-bit palette, 4-bit palette and 4-bit grey PNGs, and decodes each back to
# raw 16-bit RGBA, for the region tests: the shape must be exactly the pixels
# whose colour differs from the top-left pixel. A pixel one step off the
# background colour ends a row at the right edge.
# usage: make-shape-pictures.sh CONVERT OUT_DIR
set -eu
convert=$1 out=$2
mkdir -p "$out"
draw() { # background output options...
  bg=$1 output=$2
  shift 2
  "$convert" -size 200x160 "xc:$bg" "$@" \
    -fill '#e04040' -draw 'circle 100,50 100,20' \
    -fill '#4060e0' -draw 'rectangle 70,80 130,150' \
    -fill '#ffd080' -draw 'polygon 40,90 70,85 70,95' \
    -fill '#202020' -draw 'ellipse 160,120 20,30 0,360' \
    -fill '#90cc88' -draw 'point 199,10' "$output"
  "$convert" "$output" -set colorspace sRGB -depth 16 -endian MSB "rgba:$output.rgba"
}
draw '#88cc88' "$out/shape24.png" -define png:color-type=2 -define png:bit-depth=8
# 8-bit palette: quantised from the RGB picture, which keeps the palette's
# colours distinct (drawing straight into a palette repeats colours).
"$convert" "$out/shape24.png" +dither -colors 250 -define png:color-type=3 -define png:bit-depth=8 "$out/shape8.png"
"$convert" "$out/shape8.png" -set colorspace sRGB -depth 16 -endian MSB "rgba:$out/shape8.png.rgba"
draw '#88cc88' "$out/shape4.png" +antialias -define png:color-type=3 -define png:bit-depth=4
# Grey 4 bits: the 4-bit palette picture turned grey and cut to 16 levels.
"$convert" "$out/shape4.png" -colorspace gray -depth 4 -define png:color-type=0 -define png:bit-depth=4 \
  "$out/shape4grey.png"
"$convert" "$out/shape4grey.png" -set colorspace sRGB -depth 16 -endian MSB "rgba:$out/shape4grey.png.rgba"
