#!/usr/bin/env bash
# How fast captures reach the slot file, with the save chime playing and
# without, next to CopyQ measured in the same run: the shared clipboard-peer
# harness's latency, rapid and large measures (see its README) on the built
# program.
#   - "sound":   each session gets a PulseAudio daemon with a null sink
#                (SESSION_PULSE=1), so every capture really plays the chime;
#   - "silent":  no sound server in the session, so captures play nothing;
#   - "copyq":   CopyQ, the peer, with the same measures.
# Usage: bench/peer-latency.sh [BUILD_DIR]   (default: build)
# Environment: HARNESS (default ../shared/peer-bench beside the repository),
# OUT (default BUILD_DIR/peer-latency/DATE-TIME), MEASURES (default
# "latency rapid large"), RUNS_OF ("silent sound copyq"), and the harness's
# own knobs (N_LAT, RAPID_REPEATS, LARGE_SIZES, ...).
#
# CopyQ is only the yardstick: install it from Debian (apt-get install copyq)
# to measure it. It is not in scripts/packages-debian.txt, as nothing of the
# project needs it; without it its run is skipped.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd) || exit 2
harness=${HARNESS:-$root/../shared/peer-bench}
[[ -f $harness/bench.sh ]] || { echo "no harness at $harness (set HARNESS)" >&2; exit 2; }
harness=$(cd "$harness" && pwd)
measures=${MEASURES:-latency rapid large}
out=${OUT:-$build/peer-latency/$(date +%Y%m%d-%H%M%S)}
mkdir -p "$out"

export CLIPSTOW_BIN=$build/src/clipstow CLIPSTOW_REG=$build/tools/clipstow-reg
for program in "$CLIPSTOW_BIN" "$CLIPSTOW_REG"; do
    [[ -x $program ]] || { echo "build $program first" >&2; exit 2; }
done
export CLIPSTOW_PREPARE="bash $harness/programs/clipstow-prepare.sh"

run() { # NAME PROGRAM [VAR=VALUE...]: one harness run into $out/NAME
    local name=$1 program=$2
    shift 2
    echo "== $name: $program $measures" >&2
    # shellcheck disable=SC2086
    env "$@" OUT="$out/$name" bash "$harness/bench.sh" "$program" $measures \
        >"$out/$name.log" 2>&1
    echo "   exit $?, figures in $out/$name/$program/summary.txt" >&2
}

for which in ${RUNS_OF:-silent sound copyq}; do
    case $which in
    silent) run silent clipstow SESSION_PULSE=0 ;;
    sound)
        if command -v pulseaudio >/dev/null; then
            run sound clipstow SESSION_PULSE=1
        else
            echo "== sound: skipped, pulseaudio is not installed" >&2
        fi
        ;;
    copyq)
        if command -v copyq >/dev/null; then
            run copyq copyq
        else
            echo "== copyq: skipped, not installed (apt-get install copyq)" >&2
        fi
        ;;
    *) echo "unknown run $which" >&2 ;;
    esac
done

# The figures side by side, one block per run.
for summary in "$out"/*/*/summary.txt; do
    [[ -f $summary ]] || continue
    echo
    echo "---- $(basename "$(dirname "$(dirname "$summary")")") ($(basename "$(dirname "$summary")"))"
    grep -E '^(latency|rapid|large) ' "$summary"
    events=$(dirname "$summary")/events.log
    [[ -s $events ]] && echo "events: $(wc -l <"$events") (see $events)"
done | tee "$out/figures.txt"
