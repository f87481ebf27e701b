#!/bin/sh
# Skin folders whose names differ only in case ("b", "A", "a"), made on the
# Unix side: the Windows file functions cannot create them side by side.
set -e
root=$1
rm -rf "$root"
for name in b A a; do
  mkdir -p "$root/$name"
  printf '\211PNG\r\n\032\n' > "$root/$name/surface0.png"
  case $name in A) x=1 ;; a) x=2 ;; b) x=3 ;; esac
  printf '[OSTRA]\r\ntitle=skin %s\r\noffsetx=%s\r\n' "$name" "$x" > "$root/$name/ostra.ini"
done
