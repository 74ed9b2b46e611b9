#!/usr/bin/env bash
# How long the built program takes to end while another program holds its
# registry file locked for writing, and how many boxes it shows meanwhile
# (each answered with Enter at once, as a user would):
#   - "term":  SIGTERM, as at the end of a session (nobody there to answer);
#   - "quit":  Exit (clipstow --quit).
# each with the registry in WAL mode (as Clipstow makes it) and in
# rollback-journal mode (journal_mode DELETE, as another tool may leave it).
# It runs on a private Xvfb with trayer and openbox.
# Usage: bench/end-with-locked-registry.sh [BUILD_DIR]   (default: build)
# ENDS="term" measures only one way of ending.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd) || exit 2
program=$build/src/clipstow
registry_tool=$build/tools/clipstow-reg

run() {
    local how=$1 journal=$2
    local work pids=() display number fd
    work=$(mktemp -d)
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
    export CLIPSTOW_REGISTRY=$XDG_CONFIG_HOME/clipstow/registry.sqlite3
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    exec {fd}<> <(:)
    Xvfb -displayfd "$fd" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    read -r -t 30 -u "$fd" number || { echo "Xvfb did not start" >&2; return 1; }
    exec {fd}>&-
    export DISPLAY=":$number"
    trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
    pids+=($!)
    openbox >/dev/null 2>&1 &
    pids+=($!)
    local key='HKLM\SOFTWARE\Orvane\Clipstow'
    "$registry_tool" add "$key" /v AcceptedLicense /d '1/1/2026 10:00:00' /f >/dev/null
    "$registry_tool" add "$key" /v ShowSplash /t REG_DWORD /d 0 /f >/dev/null
    [[ $journal == delete ]] && sqlite3 "$CLIPSTOW_REGISTRY" 'PRAGMA journal_mode=DELETE;' >/dev/null

    (cd "$work" && exec "$program") >/dev/null 2>"$work/stderr" &
    local clipstow=$!
    for _ in $(seq 100); do xdotool search --onlyvisible --name '^Clipstow$' >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 1
    # Another program writing, until it is stopped.
    python3 - "$CLIPSTOW_REGISTRY" <<'EOF' &
import sqlite3, sys, time
db = sqlite3.connect(sys.argv[1], isolation_level=None, timeout=0)
db.execute("BEGIN IMMEDIATE")
db.execute("INSERT INTO keys(root, name, path, fold) VALUES(1, 'L', 'L', 'L')")
time.sleep(120)
EOF
    pids+=($!)
    sleep 0.5
    local known boxes=0 start end
    known=" $(xdotool search --onlyvisible --name . 2>/dev/null | tr '\n' ' ') "
    start=$(date +%s.%N)
    if [[ $how == term ]]; then kill -TERM "$clipstow"; else "$program" --quit >/dev/null 2>&1 & fi
    while kill -0 "$clipstow" 2>/dev/null; do
        if (($(echo "$(date +%s.%N) - $start > 60" | bc))); then
            echo "  still running after 60 s"
            kill -KILL "$clipstow"
            break
        fi
        for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
            [[ $known == *" $id "* ]] && continue
            known+="$id "
            boxes=$((boxes + 1))
            xdotool windowactivate --sync "$id" key Return 2>/dev/null
        done
        sleep 0.05
    done
    wait "$clipstow"
    local status=$?
    end=$(date +%s.%N)
    printf '%-5s %-7s %6.2f s  boxes %d  exit %d  stderr: %s\n' "$how" "$journal" \
        "$(echo "$end - $start" | bc)" "$boxes" "$status" "$(grep -c . "$work/stderr")"
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}

echo "end    journal  time      boxes    exit    lines on stderr"
for how in ${ENDS:-term quit}; do
    for journal in wal delete; do
        run "$how" "$journal"
    done
done
