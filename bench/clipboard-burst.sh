#!/usr/bin/env bash
# Copies made faster than the program captures them: are they all stored,
# each once? The built program runs on a private Xvfb display in auto mode
# (fresh HOME and registry, no sound server).
#   burst:  N distinct texts of SIZE bytes, STEP_MS apart (default 100 of
#           1 MiB, 20 ms apart); prints how many distinct texts reached the
#           slot file, how many twice or more, and whether the last is there.
#           The test helper clipboard-owner takes the clipboard on time from
#           a window per text, as that many programs would; with
#           SETTER=xclip one xclip process per text is started on the same
#           schedule instead, whose start-up on a loaded machine bunches
#           the copies.
#   end:    the burst as above, and SIGTERM to the program once the
#           copies have been made; prints how long the program took to end
#           and how many bytes reached the slot file after the signal.
#   append: the slot file holds SLOT_MB MiB; another program appends 1 KB to
#           it, then five short texts COPY-1 ... COPY-5 are copied 80 ms
#           apart; prints the texts in the order the file holds them.
#   commands: N short texts (default 3000 of 64 bytes, 1 ms apart: 1,000 a
#           second) copied while "clipstow --auto on" is sent to the program
#           every 200 ms; prints how long the longest and the median answer
#           took (the time the program does not answer), how many texts
#           were stored, how many twice or more, and whether the file holds
#           them in the order they were copied; and the program's CPU time
#           over the burst (less at the mercy of the machine's load).
#   twowriters: two programs on two displays collect into one 2 MiB slot
#           file while N short texts are copied on each, STEP_MS apart and
#           interleaved; with SHELL_LOOP=1 a shell loop appends 150 numbered
#           lines to the file with >> meanwhile. Prints the distinct texts
#           of each display in the file, how many are there twice or more,
#           the shell lines there, and any .torn- or .unsaved- file. The two
#           share one runtime folder (one user on two displays) unless
#           RUNTIME=separate.
# Usage: bench/clipboard-burst.sh [BUILD_DIR] [burst|end|append|commands|twowriters ...]
# Environment: N, SIZE, STEP_MS, SLOT_MB, RUNS (default 1 per measure),
# SHELL_LOOP, RUNTIME.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd) || exit 2
shift || true
measures=("${@:-burst append}")
read -r -a measures <<<"${measures[*]}"
program=$build/src/clipstow
reg=$build/tools/clipstow-reg
owner=$build/tests/clipboard-owner
for tool in "$program" "$reg" "$owner"; do
    [[ -x $tool ]] || { echo "build $tool first" >&2; exit 2; }
done
for tool in Xvfb xclip; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

n=${N:-100} size=${SIZE:-1048576} step_ms=${STEP_MS:-20}
slot_mb=${SLOT_MB:-8} runs=${RUNS:-1}
work=$(mktemp -d)
pids=()
exec {napfd}<> <(:)
nap() { read -r -t "$1" -u "$napfd" _ || true; }
now_us() { echo "${EPOCHREALTIME/./}"; }
nap_until_us() {
    local left=$(($1 - ${EPOCHREALTIME/./}))
    ((left > 0)) && nap "$(printf '%d.%06d' $((left / 1000000)) $((left % 1000000)))"
    return 0
}

stop_session() {
    local pid
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill "$pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; nap 0.05; done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    pids=()
    # xclip processes still serving a text of this session's display
    pkill_xclip
}
pkill_xclip() {
    local pid
    for pid in $(pgrep -x xclip); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "DISPLAY=$DISPLAY" &&
            kill "$pid" 2>/dev/null
    done
}
trap 'stop_session; rm -rf "$work"' EXIT

# A fresh desktop and home, the program started in auto mode with its main
# window hidden; returns once a copy is captured. With SLOT set, the first
# slot's file is that one; with RUN_DIR set, the runtime folder is that one.
start_session() {
    local dir=$1 run=${RUN_DIR:-$1/run}
    mkdir -p "$dir/home" "$run"
    chmod 700 "$run"
    export HOME=$dir/home XDG_CONFIG_HOME=$dir/home/.config XDG_RUNTIME_DIR=$run
    export CLIPSTOW_REGISTRY=$XDG_CONFIG_HOME/clipstow/registry.sqlite3 QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY PULSE_SERVER
    exec {displayfd}<> <(:)
    Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    pids+=($!)
    local number
    read -r -t 30 -u "$displayfd" number || { echo "Xvfb did not start" >&2; return 1; }
    exec {displayfd}>&-
    export DISPLAY=:$number
    local key='HKLM\SOFTWARE\Orvane\Clipstow'
    "$reg" add "$key" /v AcceptedLicense /t REG_SZ /d "12/1/2026 9:00:00 AM" /f >/dev/null
    "$reg" add "$key" /v ShowSplash /t REG_DWORD /d 0 /f >/dev/null
    "$reg" add "$key" /v AutoHide /t REG_DWORD /d 1 /f >/dev/null
    "$reg" add "$key" /v AShowRemote /t REG_SZ /d 0 /f >/dev/null
    "$reg" add "$key" /v AutoOn /t REG_SZ /d 1 /f >/dev/null
    [[ -z ${2:-} ]] || cp "$2" "$HOME/Default1.txt"
    local slot=$HOME/Default1.txt
    if [[ -n ${SLOT:-} ]]; then
        slot=$SLOT
        "$reg" add "$key" /v Filename1 /t REG_SZ /d "$slot" /f >/dev/null
    fi
    (cd "$HOME" && exec "$program" >"$dir/clipstow.log" 2>"${PROGRAM_LOG:-/dev/null}") &
    pids+=($!)
    local tries
    for tries in $(seq 150); do
        printf 'READY-%s-%s' "$DISPLAY" "$tries" | xclip -selection clipboard -i 2>/dev/null
        nap 0.2
        grep -a -q -F "READY-$DISPLAY-" "$slot" 2>/dev/null && return 0
    done
    echo "the program did not capture within 30 s" >&2
    return 1
}

# Waits until the slot file (SLOT, else the first slot's default) has not
# changed for 3 s (at most 300 s).
settle() {
    local last=-1 same=0 now
    for _ in $(seq 3000); do
        now=$(stat -c %s:%Y "${SLOT:-$HOME/Default1.txt}" 2>/dev/null)
        if [[ $now == "$last" ]]; then
            same=$((same + 1))
            ((same >= 30)) && return 0
        else
            same=0 last=$now
        fi
        nap 0.1
    done
}

marker() { printf '[[burst-%05d]]' "$1"; }

burst() {
    local dir=$work/burst-$1 i texts=$work/texts
    if [[ ${SETTER:-helper} == xclip && ! -d $texts ]]; then
        mkdir -p "$texts"
        for ((i = 1; i <= n; i++)); do
            { marker "$i"; printf ' '
              yes 'The quick brown fox jumps over the lazy dog 0123456789 abcdefgh' |
                  head -c $((size - 32))
              printf ' '; marker "$i"; } >"$texts/$i"
        done
    fi
    start_session "$dir" || return 1
    local t0 took
    t0=$(now_us)
    if [[ ${SETTER:-helper} == xclip ]]; then
        for ((i = 1; i <= n; i++)); do
            nap_until_us $((t0 + (i - 1) * step_ms * 1000))
            xclip -selection clipboard -i "$texts/$i" 2>/dev/null &
        done
        took=$((($(now_us) - t0) / 1000))
        wait_xclips
    else
        coproc OWNER { exec "$owner" --burst="$n" --interval="$step_ms" --size="$size" burst; }
        pids+=("$OWNER_PID")
        local said
        while read -r -t 120 said <&"${OWNER[0]}"; do [[ $said == done ]] && break; done
        took=$((($(now_us) - t0) / 1000))
    fi
    settle
    local counts distinct twice last
    counts=$(grep -a -o -E '\[\[burst-[0-9]{5}\]\] ' "$HOME/Default1.txt" | sort | uniq -c)
    distinct=$(grep -c . <<<"$counts")
    twice=$(awk '$1 > 1' <<<"$counts" | grep -c .)
    last=$(grep -c -F "$(marker "$n")" <<<"$counts")
    local torn
    torn=$(($(grep -a -o -E '\[\[burst-[0-9]{5}\]\] ' "$HOME/Default1.txt" | wc -l) -
        $(grep -a -o -E ' \[\[burst-[0-9]{5}\]\]' "$HOME/Default1.txt" | wc -l)))
    echo "burst run $1: $n copies of $size bytes ${step_ms} ms apart (set in $took ms):" \
        "$distinct distinct stored, $twice stored twice or more, last one stored: $last," \
        "incomplete: $torn"
    awk '$1 > 1 {printf "  %s x%d\n", $2, $1}' <<<"$counts" | head -5
    # Texts whose tail is missing: cut short on the way.
    comm -23 <(grep -a -o -E '\[\[burst-[0-9]{5}\]\] ' "$HOME/Default1.txt" | tr -d ' ' | sort) \
        <(grep -a -o -E ' \[\[burst-[0-9]{5}\]\]' "$HOME/Default1.txt" | tr -d ' ' | sort) |
        sed 's/^/  cut short: /' | head -5
    [[ -z ${KEEP:-} ]] || cp "$HOME/Default1.txt" "$KEEP"
    stop_session
}

# The xclip commands started in the background have taken the clipboard.
wait_xclips() {
    local job
    for job in $(jobs -p); do
        [[ " ${pids[*]} " == *" $job "* ]] || wait "$job" 2>/dev/null
    done
}

append() {
    local dir=$work/append-$1 slot=$work/slot-$slot_mb
    if [[ ! -f $slot ]]; then
        yes 'An earlier line of the slot, sixty-odd characters long here.' |
            head -c $((slot_mb * 1048576)) | sed 's/$/\r/' | head -c $((slot_mb * 1048576)) >"$slot"
    fi
    start_session "$dir" "$slot" || return 1
    head -c 1024 /dev/zero | tr '\0' 'o' >>"$HOME/Default1.txt"
    local t0 i
    t0=$(($(now_us) + 100000))
    for i in 1 2 3 4 5; do
        nap_until_us $((t0 + (i - 1) * 80000))
        printf 'COPY-%d' "$i" | xclip -selection clipboard -i 2>/dev/null &
    done
    wait_xclips
    settle
    echo "append run $1: ${slot_mb} MiB slot, 1 KB appended by another program, five copies" \
        "80 ms apart: $(grep -a -o -E 'COPY-[0-9]' "$HOME/Default1.txt" | tr '\n' ' ')"
    stop_session
}

end() {
    local dir=$work/end-$1
    start_session "$dir" || return 1
    local program_pid=${pids[1]} said
    coproc OWNER { exec "$owner" --burst="$n" --interval="$step_ms" --size="$size" burst; }
    pids+=("$OWNER_PID")
    while read -r -t 120 said <&"${OWNER[0]}"; do [[ $said == done ]] && break; done
    local before t0 took
    before=$(stat -c %s "$HOME/Default1.txt")
    t0=$(now_us)
    kill -TERM "$program_pid"
    while kill -0 "$program_pid" 2>/dev/null && (($(now_us) - t0 < 30000000)); do nap 0.01; done
    took=$((($(now_us) - t0) / 1000))
    kill -0 "$program_pid" 2>/dev/null && took="more than 30000"
    echo "end run $1: SIGTERM after $n copies of $size bytes ${step_ms} ms apart: ended in" \
        "$took ms, $(($(stat -c %s "$HOME/Default1.txt") - before)) bytes written after the signal"
    stop_session
}

# The CPU time a process has used, in ms.
cpu_ms() {
    local stat
    read -r -a stat <"/proc/$1/stat"
    echo $(((stat[13] + stat[14]) * 1000 / $(getconf CLK_TCK)))
}

commands() {
    local dir=$work/commands-$1 n=${N:-3000} size=${SIZE:-64} step=${STEP_MS:-1} said
    start_session "$dir" || return 1
    local cpu0
    cpu0=$(cpu_ms "${pids[1]}")
    coproc OWNER { exec "$owner" --burst="$n" --interval="$step" --size="$size" burst; }
    pids+=("$OWNER_PID")
    # (The coprocess's variables go when it ends; its output stays.)
    local ofd times=() t0 done=
    exec {ofd}<&"${OWNER[0]}"
    while [[ -z $done ]]; do
        t0=$(now_us)
        timeout 30 "$program" --auto on >/dev/null 2>&1
        times+=($((($(now_us) - t0) / 1000)))
        nap 0.2
        while read -r -t 0.01 said <&"$ofd"; do [[ $said != done ]] || done=1; done
    done
    exec {ofd}<&-
    settle
    local longest median markers cpu
    cpu=$(($(cpu_ms "${pids[1]}") - cpu0))
    longest=$(printf '%s\n' "${times[@]}" | sort -n | tail -1)
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((${#times[@]} + 1) / 2))p")
    markers=$(grep -a -o -E '\[\[burst-[0-9]{5}\]\] ' "$HOME/Default1.txt" | tr -d ' ')
    echo "commands run $1: $n copies of $size bytes ${step} ms apart, ${#times[@]} commands:" \
        "longest answer $longest ms, median $median ms; program's CPU time $cpu ms;" \
        "$(sort -u <<<"$markers" | grep -c .) stored, $(sort <<<"$markers" | uniq -d | grep -c .)" \
        "twice or more, in order: $(sort -c <<<"$markers" 2>/dev/null && echo yes || echo NO)"
    stop_session
}

twowriters() {
    local dir=$work/two-$1 slot i
    mkdir -p "$dir"
    slot=$dir/shared.txt
    yes 'An earlier line of the slot, sixty-odd characters long here.' | sed 's/$/\r/' |
        head -c $((2 * 1048576)) >"$slot"
    local run_dir=
    [[ ${RUNTIME:-shared} == separate ]] || run_dir=$dir/run
    local displays=()
    SLOT=$slot RUN_DIR=$run_dir start_session "$dir/a" || return 1
    displays+=("$DISPLAY")
    SLOT=$slot RUN_DIR=$run_dir start_session "$dir/b" || return 1
    displays+=("$DISPLAY")
    local t0
    t0=$(now_us)
    DISPLAY=${displays[0]} "$owner" --burst="$n" --interval="$step_ms" --size=64 A \
        >"$dir/owner-a" 2>&1 &
    pids+=($!)
    nap "$(printf '0.%03d' $((step_ms / 2)))"
    DISPLAY=${displays[1]} "$owner" --burst="$n" --interval="$step_ms" --size=64 B \
        >"$dir/owner-b" 2>&1 &
    pids+=($!)
    local loop=
    if [[ -n ${SHELL_LOOP:-} ]]; then
        (
            for ((i = 1; i <= 150; i++)); do
                nap_until_us $((t0 + i * n * step_ms * 1000 / 150))
                printf 'SHELL-LINE-%03d\n' "$i" >>"$slot"
            done
        ) &
        loop=$!
    fi
    for _ in $(seq 1200); do
        grep -q -x done "$dir/owner-a" && grep -q -x done "$dir/owner-b" && break
        nap 0.1
    done
    [[ -z $loop ]] || wait "$loop"
    SLOT=$slot settle
    local tag counts report=
    for tag in A B; do
        counts=$(grep -a -o -E "\[\[$tag-[0-9]{5}\]\] " "$slot" | sort | uniq -c)
        report+=" display $tag: $(grep -c . <<<"$counts")/$n distinct,"
        report+=" $(awk '$1 > 1' <<<"$counts" | grep -c .) twice or more;"
        awk '$1 > 1 {printf "  %s x%d\n", $2, $1}' <<<"$counts" | head -3 >>"$dir/twice"
    done
    [[ -z $loop ]] ||
        report+=" shell lines: $(grep -a -o -E 'SHELL-LINE-[0-9]{3}' "$slot" | sort -u | wc -l)/150;"
    [[ -z ${KEEP:-} ]] || cp "$slot" "$KEEP"
    local display
    for display in "${displays[@]}"; do
        [[ -z ${SHOTS:-} ]] || DISPLAY=$display import -window root "$SHOTS-${display#:}.png"
        DISPLAY=$display pkill_xclip
    done
    # Text the programs could not store is set aside when they end.
    stop_session
    local aside
    aside=$(cd "$dir" && ls -d shared.txt.torn-* shared.txt.unsaved-* 2>/dev/null | tr '\n' ' ')
    echo "twowriters run $1 (runtime ${RUNTIME:-shared}):$report set aside: ${aside:-none}"
    cat "$dir/twice" 2>/dev/null
}

for measure in "${measures[@]}"; do
    for ((run = 1; run <= runs; run++)); do
        case $measure in
        burst) burst "$run" ;;
        append) append "$run" ;;
        end) end "$run" ;;
        twowriters) twowriters "$run" ;;
        commands) commands "$run" ;;
        *) echo "unknown measure $measure" >&2 ;;
        esac
    done
done
