#!/usr/bin/env bash
# Each translation is whole: lupdate, run on copies of the .ts files against
# the sources as the update_translations target runs it, leaves no entry
# unfinished (a text new in the sources) or vanished (a text they no longer
# have).
#   check-translations.sh LUPDATE SOURCE_DIR TS_FILE...
set -uo pipefail
lupdate=$1 sources=$2
shift 2
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
for ts in "$@"; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    if ! "$lupdate" -locations none -no-ui-lines "$sources/src" "$sources/tools/clipstow-reg" \
        -ts "$copy" >"$work/log" 2>&1; then
        cat "$work/log"
        failures=$((failures + 1))
        continue
    fi
    total=$(grep -c '<message>' "$copy")
    [ "$total" -gt 0 ] || { echo "$ts: no texts"; failures=$((failures + 1)); }
    for kind in unfinished vanished obsolete; do
        count=$(grep -c "type=\"$kind\"" "$copy")
        if [ "$count" -ne 0 ]; then
            echo "$ts: $count $kind:"
            grep -B2 "type=\"$kind\"" "$copy" | grep '<source>' | head -20
            failures=$((failures + 1))
        fi
    done
done
exit $((failures > 0))
