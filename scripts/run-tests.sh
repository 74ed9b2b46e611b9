#!/usr/bin/env bash
# Runs every test through CTest. Tests that need an X server, a tray host or
# a sound server get them here: Xvfb, trayer and a PulseAudio daemon with a
# null sink, all private to this run.
set -uo pipefail
build="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    # The sound server still writes into the work folder while it ends.
    for pid in "${pids[@]}"; do
        for _ in $(seq 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    done
    rm -rf "$work"
}
trap cleanup EXIT

# A private X display with a tray host; Xvfb picks a free display number
# and writes it to the pipe once it accepts connections.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 30 -u "$displayfd" number || { echo "Xvfb did not start" >&2; exit 1; }
exec {displayfd}>&-
export DISPLAY=":$number"
if command -v trayer >/dev/null; then
    trayer --edge top --align right --widthtype request --height 24 >"$work/trayer.log" 2>&1 &
    pids+=($!)
    # Ready once its panel window exists (it takes the tray selection then).
    for _ in $(seq 50); do
        xdotool search --class trayer >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

# A private session bus, which the tray protocol and Qt look for.
if command -v dbus-launch >/dev/null; then
    eval "$(dbus-launch --sh-syntax)"
    pids+=("$DBUS_SESSION_BUS_PID")
fi

# A private PulseAudio daemon whose default sink is a null sink.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
mkdir -p "$work/home"
if command -v pulseaudio >/dev/null; then
    HOME="$work/home" pulseaudio --daemonize=no --exit-idle-time=-1 --system=false \
        --disallow-exit -n \
        --load="module-null-sink sink_name=clipstow_null norewinds=1" \
        --load="module-native-protocol-unix" \
        --load="module-always-sink" >"$work/pulse.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink clipstow_null >/dev/null 2>&1 || true
    export CLIPSTOW_TEST_PULSE=1
fi

# The program's texts in English, whatever the desktop's language; the
# tests of the translations set their own.
export LANGUAGE=en

# Keep the tests away from the user's own settings and files.
export XDG_CONFIG_HOME="$work/config"
export CLIPSTOW_REGISTRY="$work/config/clipstow/registry.sqlite3"

# In a sanitizer build, leaks of the libraries' own are not the program's;
# they are told by the whole stack, which the fast unwinder does not give
# through libraries built without frame pointers.
export ASAN_OPTIONS="fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

cd "$build"
ctest --output-on-failure -j2 --timeout 600 "${@:2}"
