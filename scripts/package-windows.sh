#!/usr/bin/env bash
# Makes the Windows packages from a Windows build:
#   package-windows.sh CLIPSTOW_EXE QT_PREFIX VERSION OUTPUT_FOLDER
# OUTPUT_FOLDER/clipstow-VERSION-windows-x64/ holds the program with the Qt
# and MinGW run-time libraries and the Qt plugins it loads; beside it the
# same as a zip, and the installer clipstow-VERSION-setup.exe (NSIS).
set -euo pipefail

exe="$(readlink -f "$1")"
qt="$(readlink -f "$2")"
version="$3"
mkdir -p "$4"
out="$(cd "$4" && pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
name="clipstow-$version-windows-x64"
stage="$out/$name"

rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$stage/"
for lib in Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport Qt6Network; do
    cp "$qt/bin/$lib.dll" "$stage/"
done
# Plugins Qt loads by itself: the Windows platform (required), the native
# widget style, the splash picture's JPEG reader, the printers.
for plugin in platforms/qwindows styles/qwindowsvistastyle imageformats/qjpeg \
    imageformats/qico imageformats/qgif printsupport/windowsprintersupport; do
    if [ -f "$qt/plugins/$plugin.dll" ]; then
        mkdir -p "$stage/$(dirname "$plugin")"
        cp "$qt/plugins/$plugin.dll" "$stage/$plugin.dll"
    elif [ "$plugin" = platforms/qwindows ]; then
        echo "package-windows: $qt/plugins/$plugin.dll is missing" >&2
        exit 1
    fi
done
# The compiler's run-time libraries.
for lib in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    found="$(x86_64-w64-mingw32-g++-posix -print-file-name="$lib")"
    [ -f "$found" ] || found="/usr/x86_64-w64-mingw32/lib/$lib"
    cp "$found" "$stage/"
done
x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
cp "$root/LICENSE" "$stage/LICENSE.txt"

(cd "$out" && rm -f "$name.zip" && zip -qrX "$name.zip" "$name")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/clipstow-$version-setup.exe" \
    "$root/packaging/windows/clipstow.nsi"
ls -l "$out/$name.zip" "$out/clipstow-$version-setup.exe"
