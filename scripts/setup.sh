#!/usr/bin/env bash
# Installs what Clipstow needs on Debian 12, builds it, and then either
# starts it ("start") or runs every test ("test"). "start" installs only what
# building and running needs (and a virtual display with a tray host when
# there is no display) and builds only the programs; "test" also installs
# the test tools and builds the tests and benchmarks too. "windows"
# cross-builds the Windows program (Qt first, once, into a cache folder; see
# scripts/build-qt-windows.sh) in build-windows, with its zip and installer.
set -euo pipefail

mode="${1:-start}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CLIPSTOW_BUILD_DIR:-$root/build}"

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages of the given lists (scripts/packages-debian*.txt)
# that are not installed yet.
install_packages() {
    mapfile -t wanted < <(for list in "$@"; do
        grep -v '^\s*#' "$root/scripts/packages-debian$list.txt" | grep -v '^\s*$'
    done | sort -u)
    missing=()
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        sudo_if_needed apt-get update -qq
        sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# build_project ON|OFF: with or without the tests and benchmarks.
build_project() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCLIPSTOW_BUILD_TESTS="$1" -DCLIPSTOW_BUILD_BENCH="$1"
    cmake --build "$build" -j"$(nproc)"
}

case "$mode" in
start)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        install_packages "" -nodisplay
    else
        install_packages ""
    fi
    build_project OFF
    exec "$root/scripts/run-clipstow.sh" "$build/src/clipstow"
    ;;
test)
    install_packages "" -test
    build_project ON
    exec "$root/scripts/run-tests.sh" "$build"
    ;;
windows)
    install_packages "" -windows
    qt="$("$root/scripts/build-qt-windows.sh" | tail -n 1)"
    windows_build="${CLIPSTOW_WINDOWS_BUILD_DIR:-$root/build-windows}"
    # The pictures are rendered to PNG by a small program of this machine's,
    # as Qt's SVG module is not built for Windows.
    mkdir -p "$windows_build/host"
    render_icon="$windows_build/host/render-icon"
    if [ ! -x "$render_icon" ] || [ "$root/packaging/render-icon.cpp" -nt "$render_icon" ]; then
        # shellcheck disable=SC2046 # the flags are words
        g++ -std=c++17 -O1 -fPIC -o "$render_icon" "$root/packaging/render-icon.cpp" \
            $(pkg-config --cflags --libs Qt6Svg Qt6Gui Qt6Core)
    fi
    CLIPSTOW_WINDOWS_QT="$qt" cmake -S "$root" -B "$windows_build" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
        -DQt6LinguistTools_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake/Qt6LinguistTools" \
        -DCLIPSTOW_RENDER_ICON="$render_icon" -DCLIPSTOW_BUILD_TESTS="${CLIPSTOW_WINDOWS_TESTS:-ON}"
    CLIPSTOW_WINDOWS_QT="$qt" cmake --build "$windows_build" -j"$(nproc)"
    cmake --build "$windows_build" --target windows-package
    ;;
*)
    echo "usage: $0 start|test|windows" >&2
    exit 2
    ;;
esac
