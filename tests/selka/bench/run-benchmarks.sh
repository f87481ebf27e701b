#!/bin/sh
# Builds and runs selka's benchmarks and prints their figures:
#   OSTRA_OUT=... tests/selka/bench/run-benchmarks.sh
# The native build trees and the win64 tree must have been configured by ./run.
set -eu
root=$(cd "$(dirname "$0")/../../.." && pwd)
out=${OSTRA_OUT:-$root/build}
work="$out/bench-selka"
mkdir -p "$work"
cmake --build "$out/native" --target selka_bench_core >/dev/null
cmake --build "$out/win64" --target selka selka_bench_image >/dev/null
"$out/native/bench/selka_bench_core"

# A character on a flat background at 512 and 2048 pixels square, 24-bit RGB.
for n in 512 2048; do
  s=$((n / 200))
  [ $s -ge 1 ] || s=1
  f=$(awk "BEGIN{print $n/200}")
  c() { awk "BEGIN{printf \"%d\", $1*$f}"; }
  convert -size ${n}x${n} xc:'#88cc88' \
    -fill '#e04040' -draw "circle $(c 100),$(c 50) $(c 100),$(c 20)" \
    -fill '#4060e0' -draw "rectangle $(c 70),$(c 80) $(c 130),$(c 150)" \
    -fill '#ffd080' -draw "polygon $(c 40),$(c 90) $(c 70),$(c 85) $(c 70),$(c 95)" \
    -fill '#202020' -draw "ellipse $(c 160),$(c 120) $(c 20),$(c 30) 0,360" \
    -define png:color-type=2 -define png:bit-depth=8 "$work/character$n.png"
done
export WINEPREFIX="$out/wineprefix" WINEDEBUG=-all WINEARCH=win64 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
cd "$out/win64/bin"
for n in 512 2048; do
  wine ./selka_bench_image.exe "Z:$(printf '%s' "$work/character$n.png" | tr / '\\')" 10 2>/dev/null
done
