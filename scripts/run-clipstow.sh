#!/usr/bin/env bash
# Starts Clipstow. Without a display it starts a virtual one (Xvfb, on a
# display number it finds free) with a tray host (trayer) first, says where
# Clipstow runs and how to look at it, and stops both when Clipstow ends or
# this script is interrupted (Ctrl+C, SIGTERM, SIGHUP).
#   run-clipstow.sh PROGRAM [ARGUMENT]...
set -uo pipefail
program="$1"
shift || true

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$@"
fi

pids=()
clipstow=""
# Whether a child still runs (an ended one stays a zombie until waited for).
running() {
    local state
    state="$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" && [ "$state" != Z ]
}
stop() {
    trap - INT TERM HUP EXIT
    # Clipstow first, which ends in order (settings saved, typed text kept)
    # while its display is still there; then the display and its tray.
    # A Clipstow that hangs does not keep the display: a second TERM ends it
    # at once once its typed text is safe, KILL after that.
    if [ -n "$clipstow" ] && running "$clipstow"; then
        for signal in TERM TERM KILL; do
            kill -"$signal" "$clipstow" 2>/dev/null
            for _ in $(seq 100); do
                running "$clipstow" || break 2
                sleep 0.1
            done
        done
        wait "$clipstow" 2>/dev/null
    fi
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
}
trap 'stop; exit 130' INT
trap 'stop; exit 143' TERM
trap 'stop; exit 129' HUP
trap stop EXIT

# Each in a session of its own, so that Ctrl+C in the terminal reaches only
# this script, which ends them in order: an X server ends at once on it.
# Xvfb picks a free display number and writes it to the pipe once it
# accepts connections.
exec {displayfd}<> <(:)
setsid Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
if ! read -r -t 30 -u "$displayfd" number; then
    echo "The virtual display (Xvfb) did not start." >&2
    exit 1
fi
exec {displayfd}>&-
export DISPLAY=":$number"
setsid trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)

setsid "$program" "$@" &
clipstow=$!

# What a first start shows before anything else.
registry_tool="$(dirname "$program")/../tools/clipstow-reg"
accepted="$("$registry_tool" query 'HKLM\SOFTWARE\Orvane\Clipstow' /v AcceptedLicense 2>/dev/null)"
if [ -z "$accepted" ] || grep -q 'Never' <<<"$accepted"; then
    first="its licence agreement, which waits for \"I Accept\"."
else
    first="its remote window and its tray icon."
fi
if command -v import >/dev/null; then
    screenshot="DISPLAY=$DISPLAY import -window root clipstow.png"
else
    screenshot="sudo apt-get install imagemagick, then: DISPLAY=$DISPLAY import -window root clipstow.png"
fi
cat <<EOF
No display found: Clipstow runs on the virtual X display $DISPLAY (Xvfb) with
the trayer tray host. What it shows there first: $first
To look at it:
  a screenshot:   $screenshot
  or live, with a VNC server and viewer (sudo apt-get install x11vnc xtightvncviewer):
                  x11vnc -display $DISPLAY -localhost -forever &  vncviewer localhost:0
To stop: Ctrl+C here (or kill $$); the virtual display stops with Clipstow.
EOF

wait "$clipstow"
status=$?
clipstow=""
exit "$status"
