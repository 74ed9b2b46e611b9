#!/usr/bin/env bash
# Cross-builds Qt for 64-bit Windows once, from Debian's own Qt source
# (qtbase, the version the Linux build uses), with Debian's
# MinGW-w64 compiler and Debian's Qt host tools. The result goes into a cache
# folder outside the repository and is reused by every later build:
#   ${CLIPSTOW_WINDOWS_CACHE:-~/.cache/clipstow-windows}/qt-<version>
# Prints that folder on its last line.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${CLIPSTOW_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/clipstow-windows}"
version="$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/[-+].*//')"
prefix="$cache/qt-$version"
jobs="$(nproc)"

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

# Debian's source packages come from the same archives as its binary ones:
# a deb-src entry beside each deb entry of the system's sources.
if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
    src_list=/etc/apt/sources.list.d/clipstow-deb-src.sources
    sed -n '/^Types:/,/^$/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null |
        sed 's/^Types: .*/Types: deb-src/' >/tmp/clipstow-deb-src.sources
    [ -s /tmp/clipstow-deb-src.sources ] || {
        echo "No Debian sources list to derive deb-src entries from" >&2
        exit 1
    }
    sudo_if_needed cp /tmp/clipstow-deb-src.sources "$src_list"
    sudo_if_needed apt-get update -qq
fi

mkdir -p "$cache/src"
cd "$cache/src"
if [ -z "$(find . -maxdepth 1 -type d -name 'qt6-base-*')" ]; then
    apt-get source -qq "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)"
fi
qtbase_src="$(find "$cache/src" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"

toolchain="$root/cmake/mingw-w64-x86_64.cmake"
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
    -DCMAKE_INSTALL_PREFIX="$prefix"
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF)

# What Debian's source leaves out is switched off: its bundled SQLite (the
# Qt SQL module is not used anyway) and the tablet header. OpenGL stays: the
# Windows platform plugin needs it.
cmake -S "$qtbase_src" -B "$cache/build-qtbase" "${common[@]}" \
    -DFEATURE_sql=OFF -DFEATURE_sql_sqlite=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_libpng=OFF -DFEATURE_system_libjpeg=OFF \
    -DFEATURE_openssl=OFF -DFEATURE_icu=OFF
cmake --build "$cache/build-qtbase" -j"$jobs"
cmake --install "$cache/build-qtbase"

touch "$prefix/.complete"
echo "$prefix"
