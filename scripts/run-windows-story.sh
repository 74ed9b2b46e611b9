#!/usr/bin/env bash
# One user's story with the packaged Windows program under Wine, on a
# private Xvfb display and in a Wine prefix of its own:
#   run-windows-story.sh [PACKAGE_FOLDER]
# (default: the one build-windows/package holds). The program is installed
# with the installer beside that folder (silently) and taken off again with
# its uninstaller at the end. A copy made on the X
# display with xclip is captured into the slot file with its stamp line; the
# settings land in Wine's registry (reg query); the program rewrites the Run
# value with its own path at start and /uninstall removes it; a second start
# brings the first one's main window forward. Exits non-zero at the first
# step that fails. With CLIPSTOW_SCREENSHOTS set to a folder, pictures of
# the main window, the remote window and Preferences go there (ImageMagick's
# import).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
package="${1:-$(find "$root/build-windows/package" -maxdepth 1 -type d -name 'clipstow-*-windows-x64' | head -n 1)}"
[ -f "$package/clipstow.exe" ] || {
    echo "run-windows-story: no packaged clipstow.exe in '$package'" >&2
    exit 2
}
scratch="$(mktemp -d)"
pids=()
cleanup() {
    wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$scratch"
}
trap cleanup EXIT

exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x800x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 30 -u "$displayfd" number || { echo "Xvfb did not start" >&2; exit 1; }
exec {displayfd}>&-
export DISPLAY=":$number"
export WINEPREFIX="$scratch/wine" WINEDEBUG="${CLIPSTOW_WINEDEBUG:--all}" WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1
wineserver -w

step() { echo "--- $*"; }
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
# Waits up to 30 s for a command to succeed.
wait_for() {
    for _ in $(seq 150); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }

step "the installer puts the program into the programs folder with a Start menu entry"
setup="$(dirname "$package")/$(basename "$package" | sed 's/-windows-x64$/-setup.exe/')"
[ -f "$setup" ] || fail "no installer $setup"
wine "$setup" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Clipstow"
[ -f "$installed/clipstow.exe" ] && [ -f "$installed/platforms/qwindows.dll" ] || fail "nothing in $installed"
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Clipstow/Clipstow.lnk" ] ||
    fail "no Start menu entry"
package="$installed"
program="$(winepath -w "$package/clipstow.exe")"
slot="$scratch/slot1.txt"
key='HKLM\SOFTWARE\Orvane\Clipstow'
run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'

step "a user who accepted the agreement, with slot 1 in a file of the test's and an old Run entry"
wine reg add "$key" /v AcceptedLicense /t REG_SZ /d "12/8/2026 6:00:00 AM" /f >/dev/null
wine reg add "$key" /v ShowSplash /t REG_DWORD /d 0 /f >/dev/null
wine reg add "$key" /v Filename1 /t REG_SZ /d "$(winepath -w "$slot")" /f >/dev/null
wine reg add "$run" /v Clipstow /t REG_SZ /d 'C:\Old\clipstow.exe' /f >/dev/null

step "start: the Run value names the program where it is now"
(cd "$scratch" && wine "$package/clipstow.exe" >"$scratch/first.log" 2>&1) &
wait_for sh -c "wine reg query '$run' /v Clipstow | grep -qiF '$program'" ||
    fail "Run value: '$(reg_value "$run" Clipstow)', expected '$program'"
wait_for xdotool search --onlyvisible --name '^Clipstow$' || fail "the remote window did not show"

step "a copy on the X display is captured into slot 1 with its stamp line"
printf 'Copied on X11' | xclip -selection clipboard
wait_for grep -q 'Copied on X11' "$slot" || fail "slot file: '$(cat "$slot" 2>/dev/null)'"
head -c 200 "$slot" | od -c | head -5
grep -qE '^-+ [0-9]+/[0-9]+/[0-9]+ [0-9]+:[0-9]+:[0-9]+' "$slot" || grep -qE '[0-9]+/[0-9]+/[0-9]+' "$slot" ||
    fail "no stamp line in: $(cat "$slot")"

if [ -n "${CLIPSTOW_SCREENSHOTS:-}" ]; then
    mkdir -p "$CLIPSTOW_SCREENSHOTS"
    import -window root "$CLIPSTOW_SCREENSHOTS/windows-remote.png"
fi

step "a second start brings the first one's main window forward and ends"
xdotool search --onlyvisible --name '^Clipstow 3$' >/dev/null && fail "the main window showed too early"
(cd "$scratch" && timeout 60 wine "$package/clipstow.exe") || fail "the second start did not end"
wait_for xdotool search --onlyvisible --name '^Clipstow 3$' || fail "the main window did not come forward"

if [ -n "${CLIPSTOW_SCREENSHOTS:-}" ]; then
    step "screenshots in $CLIPSTOW_SCREENSHOTS"
    sleep 1
    main="$(xdotool search --onlyvisible --name '^Clipstow 3$' | head -n 1)"
    import -window "$main" "$CLIPSTOW_SCREENSHOTS/windows-main.png"
fi

step "Preferences: 'Load when starting the desktop' off removes the Run value, on writes it"
main="$(xdotool search --onlyvisible --name '^Clipstow 3$' | head -n 1)"
for expected in absent present; do
    xdotool windowfocus --sync "$main" key --clearmodifiers F9
    wait_for xdotool search --onlyvisible --name '^Preferences' || fail "no Preferences dialog"
    sleep 1
    prefs="$(xdotool search --onlyvisible --name '^Preferences' | head -n 1)"
    if [ -n "${CLIPSTOW_SCREENSHOTS:-}" ] && [ "$expected" = absent ]; then
        import -window "$prefs" "$CLIPSTOW_SCREENSHOTS/windows-preferences.png"
    fi
    # A click on the check box (the first on the first page), then Enter for OK.
    xdotool mousemove --window "$prefs" 32 49 click 1
    sleep 0.5
    xdotool windowfocus --sync "$prefs" key --clearmodifiers Return
    wait_for sh -c "! xdotool search --onlyvisible --name '^Preferences'" || fail "Preferences stayed open"
    if [ "$expected" = absent ]; then
        wait_for sh -c "! wine reg query '$run' /v Clipstow" || fail "the Run value stayed"
    else
        wait_for sh -c "wine reg query '$run' /v Clipstow | grep -qiF '$program'" ||
            fail "Run value after checking: '$(reg_value "$run" Clipstow)'"
    fi
done

step "the session's end sets text typed into slot 1 aside and saves the settings"
main="$(xdotool search --onlyvisible --name '^Clipstow 3$' | head -n 1)"
xdotool mousemove --window "$main" 200 250 click 1
sleep 0.5
xdotool type --delay 30 'Typed by hand'
sleep 0.5
wineboot --end-session
wait_for sh -c "grep -qs 'Typed by hand' '$slot'.unsaved-*" ||
    fail "nothing set aside: $(ls "$scratch")"
wait_for sh -c "! xdotool search --onlyvisible --name '^Clipstow 3\$'" || fail "the main window stayed"
# Windows ends a program once its session has ended; Wine leaves that to
# whoever ended the session.
sleep 1
wineserver -k
wine reg query "$key"
[ "$(reg_value "$key" ActiveFile)" = 0x1 ] || fail "ActiveFile: '$(reg_value "$key" ActiveFile)'"
[ "$(reg_value "$key" Auto)" = 0x1 ] || fail "Auto: '$(reg_value "$key" Auto)'"
[ "$(reg_value "$key" Path)" = "$program" ] || fail "Path: '$(reg_value "$key" Path)'"

step "the uninstaller runs clipstow /uninstall: settings, Run value, program and Start menu entry go"
wine "$installed/uninstall.exe" /S &
# The program's message box says the settings are gone; Enter closes it.
wait_for xdotool search --onlyvisible --name '^Uninstall$' || fail "no message from /uninstall"
box="$(xdotool search --onlyvisible --name '^Uninstall$' | head -n 1)"
xdotool windowfocus --sync "$box" key --clearmodifiers Return
wait_for sh -c "! xdotool search --onlyvisible --name '^Uninstall\$'" || fail "the message stayed"
wait_for sh -c "[ ! -e '$installed/clipstow.exe' ]" || fail "the program is still installed: $(ls "$installed")"
wineserver -w
wine reg query "$key" >/dev/null 2>&1 && fail "the program key is still there"
[ -z "$(reg_value "$run" Clipstow)" ] || fail "the Run value is still there"
[ ! -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Clipstow" ] ||
    fail "the Start menu entry is still there"
echo "The Windows story passed under Wine."
