#!/bin/sh
# Decodes every test PNG of libpng's source package with ImageMagick into raw
# 16-bit RGBA (most significant byte first), one file per PNG named after its
# path below contrib/ with "/" turned into "__". A PNG ImageMagick refuses gets
# no file. "-set colorspace sRGB" keeps ImageMagick from converting a picture
# whose gAMA says linear: the samples are wanted as stored. The tests compare LoadPNGFile's pixels with these.
# usage: make-png-references.sh CONVERT CONTRIB_DIR OUT_DIR
set -u
convert=$1 contrib=$2
rm -rf "$3"
mkdir -p "$3"
out=$(cd "$3" && pwd)
cd "$contrib" || exit 1
find pngsuite testpngs -name '*.png' | sort | while read -r f; do
  name=$(printf '%s' "$f" | sed 's|/|__|g')
  "$convert" "$f" -set colorspace sRGB -depth 16 -endian MSB "rgba:$out/$name.rgba" 2>/dev/null || rm -f "$out/$name.rgba"
done
ls "$out" | grep -q . || { echo "no reference made" >&2; exit 1; }
