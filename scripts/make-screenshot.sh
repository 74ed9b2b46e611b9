#!/usr/bin/env bash
# Remakes docs/screenshot.png: Clipstow's main window with the remote window
# beside it, on a private virtual display with a window manager and a tray
# host, from a fresh settings file and a few sample captures. Needs Xvfb,
# openbox, trayer, xdotool, xclip and ImageMagick's import; builds nothing.
#   scripts/make-screenshot.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

export DISPLAY=":$((150 + RANDOM % 50))"
Xvfb "$DISPLAY" -screen 0 1024x600x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)

# Settings and slot files of their own: the agreement accepted, no splash,
# the main window and the remote window shown, auto mode on.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
export CLIPSTOW_REGISTRY="$work/config/clipstow/registry.sqlite3"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
key='HKLM\SOFTWARE\Orvane\Clipstow'
reg() { "$build/tools/clipstow-reg" add "$key" "$@" /f >/dev/null; }
reg /v AcceptedLicense /d "07/12/2026"
reg /v ShowSplash /t REG_DWORD /d 0
reg /v AutoHide /t REG_DWORD /d 0
reg /v AShowRemote /d 1
cd "$HOME"
"$build/src/clipstow" >/dev/null 2>&1 &
pids+=($!)
main="$(xdotool search --sync --name '^Clipstow 3$' | head -1)"
remote=""
for _ in $(seq 100); do
    remote="$(xdotool search --onlyvisible --name '^Clipstow$' | head -1)" && [ -n "$remote" ] && break
    sleep 0.1
done
sleep 1
# Three texts copied while auto mode is on: three real captures.
for text in "Meeting moved to Thursday, 10:00, room 2.14" \
    "https://www.debian.org/releases/bookworm/" \
    "sudo apt install ./clipstow_3.0.0_amd64.deb"; do
    printf '%s' "$text" | xclip -selection clipboard -loops 1 &
    sleep 1.5
done
xdotool windowsize "$main" 640 400 windowmove "$main" 20 20
xdotool windowmove "$remote" 680 20
sleep 1
import -window root -crop 820x450+10+10 +repage "$root/docs/screenshot.png"
echo "written: $root/docs/screenshot.png"
