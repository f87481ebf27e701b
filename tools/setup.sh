#!/usr/bin/env bash
# Installs everything the build and the tests need, then builds the third-party
# libraries (libpng, minizip) for both Windows targets into build/deps.
# Safe to run again: every step checks whether its result is already there.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"
stamp_dir="$deps/stamps"
mkdir -p "$stamp_dir"

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev
  wine wine64 xvfb xauth imagemagick xcompmgr x11-utils
  fonts-ipafont-gothic fonts-wine locales
  googletest cmake ninja-build dpkg-dev g++ clang libclang-rt-14-dev
  zip unzip gcab cabextract libgcab-tests libssl-dev libpng-dev python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Source packages come through deb-src entries; add them beside the binary
# entries the machine already has when there are none.
enable_deb_src() {
  if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 1
  fi
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      as_root tee /etc/apt/sources.list.d/ostra-deb-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      as_root tee /etc/apt/sources.list.d/ostra-deb-src.list >/dev/null
  fi
  return 0
}

need_update=0
[ ${#missing[@]} -gt 0 ] && need_update=1
enable_deb_src && need_update=1
if [ ! -f "$stamp_dir/sources" ]; then need_update=1; fi

if [ $need_update = 1 ]; then
  echo "setup: apt-get update"
  as_root apt-get update -q >/dev/null
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Japanese locale gives Wine the ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen >/dev/null 2>&1 || true
fi

# Debian's source packages, unpacked with their patches applied.
src="$deps/src"
mkdir -p "$src"
fetch_source() { # name version-glob
  local pkg=$1 dir
  dir=$(compgen -G "$src/$2/" | head -n1 || true)
  if [ -z "$dir" ]; then
    echo "setup: fetching source of $pkg"
    (cd "$src" && apt-get source -q --download-only "$pkg/bookworm" >/dev/null 2>&1 ||
                  apt-get source -q --download-only "$pkg" >/dev/null)
    # apt verified the files against the signed archive index; dpkg-source
    # only warns that it has no key for the maintainer's own signature.
    (cd "$src" && for d in ${pkg}_*.dsc; do dpkg-source -x "$d" >/dev/null 2>&1 || dpkg-source -x "$d"; done)
  fi
}
fetch_source libpng1.6 'libpng1.6-*'
fetch_source zlib 'zlib-*'
fetch_source libmspack 'libmspack-*'
touch "$stamp_dir/sources"

png_src=$(ls -d "$src"/libpng1.6-*/ | head -n1)
zlib_src=$(ls -d "$src"/zlib-*/ | head -n1)

for triplet in x86_64-w64-mingw32 i686-w64-mingw32; do
  prefix="$deps/$triplet"
  if [ ! -f "$prefix/lib/libpng16.a" ] && [ ! -f "$prefix/lib/libpng.a" ]; then
    echo "setup: building libpng for $triplet"
    rm -rf "$deps/work/png-$triplet"
    cmake -S "$png_src" -B "$deps/work/png-$triplet" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$triplet.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
      -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triplet/include" \
      >/dev/null
    cmake --build "$deps/work/png-$triplet" >/dev/null
    cmake --install "$deps/work/png-$triplet" >/dev/null
  fi
  if [ ! -f "$prefix/lib/libminizip.a" ]; then
    echo "setup: building minizip for $triplet"
    work="$deps/work/minizip-$triplet"
    rm -rf "$work" && mkdir -p "$work" "$prefix/include/minizip" "$prefix/lib"
    for f in unzip ioapi iowin32; do
      "$triplet-gcc-posix" -O2 -c "$zlib_src/contrib/minizip/$f.c" -o "$work/$f.o" \
        -I"/usr/$triplet/include"
    done
    "$triplet-ar" rcs "$prefix/lib/libminizip.a" "$work"/*.o
    cp "$zlib_src"/contrib/minizip/{unzip.h,ioapi.h,iowin32.h,crypt.h} "$prefix/include/minizip/"
  fi
done

# googletest source is used by the native build too; nothing to build here.
echo "setup: done"
