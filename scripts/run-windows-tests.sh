#!/usr/bin/env bash
# Runs the tests of the Windows build under Wine:
#   run-windows-tests.sh [BUILD_FOLDER]      (default: build-windows)
# in a Wine prefix of its own in a temporary folder (its registry is the one
# the tests write to), with the cross-built Qt's and MinGW's libraries on
# Wine's search path and Qt's offscreen platform. Exits non-zero when a
# test fails.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build-windows}" && pwd)"
qt="$(sed -n 's/^CMAKE_PREFIX_PATH:[A-Z]*=//p' "$build/CMakeCache.txt")"
[ -d "$qt/bin" ] || {
    echo "run-windows-tests: no cross-built Qt for $build" >&2
    exit 2
}

scratch="$(mktemp -d)"
export WINEPREFIX="$scratch/wine" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: nothing here needs them, and Wine would offer to fetch them.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
wineboot --init >/dev/null 2>&1
wineserver -w

runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
pthread="$(dirname "$(readlink -f "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")"
WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$runtime");$(winepath -w "$pthread")"
QT_PLUGIN_PATH="$(winepath -w "$qt/plugins")"
export WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM=offscreen

failed=()
for test in "$build"/tests/windows/tst_*.exe; do
    name="$(basename "$test" .exe)"
    # Wine does not pass a test's standard output through: its log goes to a file.
    result=0
    (cd "$scratch" && wine "$test" -o "$(winepath -w "$scratch/$name.txt"),txt") || result=$?
    cat "$scratch/$name.txt" 2>/dev/null || echo "$name: no results"
    [ "$result" -eq 0 ] || failed+=("$name")
done
wineserver -w
if [ "${#failed[@]}" -gt 0 ]; then
    echo "Failed under Wine: ${failed[*]}" >&2
    exit 1
fi
echo "All Windows tests passed under Wine."
