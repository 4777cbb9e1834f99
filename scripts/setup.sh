#!/usr/bin/env bash
# Installs everything both builds need on Debian 12 (run as root) and cross-builds
# libpng and libjpeg-turbo for i686 into the cache. Idempotent: when nothing is
# missing it only checks, in well under a second.
set -euo pipefail

CACHE=${TW_CACHE:-/var/cache/tarnwheel}
HERE=$(cd "$(dirname "$0")/.." && pwd)

PACKAGES=(
  g++ cmake ninja-build ccache clang googletest libgtest-dev python3 lua5.4
  zlib1g-dev libpng-dev libjpeg62-turbo-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev nasm
  wine wine32:i386 wine64 xvfb fonts-wine fonts-liberation
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libasound2:i386
  libgl1 libglx-mesa0 libgl1-mesa-dri libasound2
  sox zstd x11-utils libeigen3-dev libglu1-mesa-dev
  python3-pil netpbm libpixman-1-dev imagemagick pngcheck libjpeg-turbo-progs libsdl2-dev
  osslsigncode openssl ffmpeg libosmesa6-dev pandoc unrtf
)

log() { echo "setup: $*" >&2; }

as_root() {
  if [ "$(id -u)" -ne 0 ]; then
    log "must run as root to install: $*"; exit 1
  fi
}

missing_packages() {
  local installed
  installed=$(dpkg-query -W -f='${db:Status-Abbrev}|${binary:Package}\n' "${PACKAGES[@]}" 2>/dev/null \
              | awk -F'|' '$1 ~ /^ii/ {print $2}') || true
  local p name
  for p in "${PACKAGES[@]}"; do
    name=$p
    case "$p" in *:*) ;; *) ;; esac
    if ! grep -qx -e "$name" -e "$name:amd64" -e "$name:all" <<<"$installed"; then
      echo "$p"
    fi
  done
}

enable_sources() {
  local changed=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root "i386 architecture"; dpkg --add-architecture i386; changed=1
  fi
  local src=/etc/apt/sources.list.d/tarnwheel-src.sources
  local src_list=/etc/apt/sources.list.d/tarnwheel-src.list
  if [ ! -f "$src" ] && [ ! -f "$src_list" ]; then
    as_root "deb-src entries"
    # Mirror every configured suite as deb-src (the security suite too, so the
    # patched sources come).
    local f
    : > "$src"
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && [ "$f" != "$src" ] || continue
      sed -e 's/^Types:.*$/Types: deb-src/' "$f" >> "$src"
      echo >> "$src"
    done
    if [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list > "$src_list"
    fi
    [ -s "$src" ] || rm -f "$src"
    changed=1
  fi
  if [ "$changed" = 1 ] || [ ! -f "$CACHE/apt-updated" ]; then
    as_root "apt-get update"
    apt-get update -qq
    mkdir -p "$CACHE"; touch "$CACHE/apt-updated"
  fi
}

install_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  as_root "packages"
  enable_sources
  log "installing: $(echo $missing)"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# apt-get source of the newest version listed; a mirror may list a version whose
# files it does not (yet) serve, so older listed versions are tried in turn.
fetch_source() {
  local dir=$1 pkg=$2 v
  for v in $(apt-cache showsrc "$pkg" | awk '/^Version:/{print $2}' | sort -rV | uniq); do
    if (cd "$dir" && apt-get source -qq "$pkg=$v" >/dev/null 2>&1); then
      return 0
    fi
    log "source of $pkg $v could not be fetched; trying an older one"
  done
  log "no source of $pkg could be fetched"; exit 1
}

build_cross_deps() {
  local arch=$1
  local DEPS=$CACHE/$arch
  local stamp=$DEPS/.built-v1
  if [ -f "$stamp" ] && [ -f "$DEPS/lib/libpng16.a" ] && [ -f "$DEPS/lib/libjpeg.a" ]; then
    return 0
  fi
  enable_sources
  log "cross-building libpng and libjpeg-turbo for $arch into $DEPS"
  local work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  fetch_source "$work" libpng1.6
  fetch_source "$work" libjpeg-turbo
  local png jpeg
  png=$(find "$work" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n1)
  jpeg=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
  [ -n "$png" ] && [ -n "$jpeg" ] || { log "apt-get source failed"; exit 1; }
  local tc=$HERE/cmake/mingw-$arch.cmake
  local jobs; jobs=$(nproc)
  rm -rf "$DEPS"; mkdir -p "$DEPS"
  cmake -S "$png" -B "$work/png-build" -G Ninja -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$tc" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DEPS" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON \
    -DZLIB_LIBRARY=/usr/$arch-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$arch-w64-mingw32/include >/dev/null
  cmake --build "$work/png-build" -j "$jobs" >/dev/null
  cmake --install "$work/png-build" >/dev/null
  cmake -S "$jpeg" -B "$work/jpeg-build" -G Ninja -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$tc" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DEPS" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON >/dev/null 2>&1
  cmake --build "$work/jpeg-build" -j "$jobs" >/dev/null
  cmake --install "$work/jpeg-build" >/dev/null
  # Only the static archives are wanted: drop anything that would pull a DLL.
  find "$DEPS" -name '*.dll.a' -delete
  touch "$stamp"
}

# PngSuite and pngtest.png from libpng's source, for the image conformance
# test (tests/graphics2d/image_conformance.py).
fetch_pngsuite() {
  local dest=$CACHE/pngsuite
  [ -f "$dest/pngtest.png" ] && return 0
  enable_sources
  local work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  fetch_source "$work" libpng1.6
  local png
  png=$(find "$work" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n1)
  mkdir -p "$dest"
  cp "$png"/contrib/pngsuite/*.png "$png"/pngtest.png "$dest"/
}

install_packages
fetch_pngsuite
build_cross_deps i686
build_cross_deps x86_64
