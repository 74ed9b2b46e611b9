#!/usr/bin/env bash
# The bash completion of clipstow and clipstow-reg: what Tab offers after
# the words typed so far.
#   check-completion.sh SOURCE_DIR FOLDER_OF_CLIPSTOW_REG
set -uo pipefail
source "$1/packaging/completion/clipstow"
source "$1/packaging/completion/clipstow-reg"
export PATH="$2:$PATH"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export CLIPSTOW_REGISTRY="$work/registry.sqlite3"
clipstow-reg add 'HKLM\SOFTWARE\Orvane\Clipstow' /v DateStyle /t REG_DWORD /d 2 /f >/dev/null
clipstow-reg add 'HKLM\SOFTWARE\Orvane\Clipstow' /v 'Date Note' /d x /f >/dev/null
failures=0

# expect "OFFERS" FUNCTION WORD...: the last word is the one being completed;
# the offers are compared sorted, one per line.
expect() {
    local want=$1 function=$2
    shift 2
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "$function"
    local got
    got="$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd'|')"
    if [ "$got" != "$want" ]; then
        echo "FAIL: ${COMP_WORDS[*]}: got '$got', expected '$want'"
        failures=$((failures + 1))
    fi
}

expect '--auto' _clipstow clipstow --au
expect '/uninstall' _clipstow clipstow /u
expect '' _clipstow clipstow --show /u
expect '1|2|3' _clipstow clipstow --capture ''
expect 'off|on|toggle' _clipstow clipstow --auto ''
expect '--help|--hide' _clipstow clipstow --h
expect 'query' _clipstow_reg clipstow-reg q
expect 'HKLM\\SOFTWARE\\Orvane\\Clipstow|HKLM\\SOFTWARE\\Orvane\\Clipstow\\Editor|HKLM\\SOFTWARE\\Orvane\\Clipstow\\Font' \
    _clipstow_reg clipstow-reg query 'hklm\\software\\orvane\\c'
expect 'HKCU\\SOFTWARE\\Orvane\\Clipstow' _clipstow_reg clipstow-reg query '"HKCU'
expect '/v|/ve' _clipstow_reg clipstow-reg query 'HKLM\\SOFTWARE\\Orvane\\Clipstow' /v
expect 'Date Note|DateStyle' _clipstow_reg clipstow-reg add 'HKLM\\SOFTWARE\\Orvane\\Clipstow' /v Da
expect 'REG_DWORD' _clipstow_reg clipstow-reg add 'HKLM\\SOFTWARE\\Orvane\\Clipstow' /v X /t REG_D
expect '' _clipstow_reg clipstow-reg add 'HKLM\\SOFTWARE\\Orvane\\Clipstow' /d ''

[ "$failures" -eq 0 ] && echo "completion checks passed"
exit $((failures > 0))
