#!/usr/bin/env bash
# Starts Clipstow. Without a display it starts a virtual one (Xvfb) with a
# tray host (trayer) first, and says so.
set -euo pipefail
program="$1"
shift || true

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Clipstow on a virtual X display (Xvfb :77) with the trayer tray host."
    Xvfb :77 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    export DISPLAY=:77
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
fi
exec "$program" "$@"
