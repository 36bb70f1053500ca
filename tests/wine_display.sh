#!/usr/bin/env bash
# Runs a Windows program under Wine on a private X server (Xvfb), in a Wine prefix of its own:
#     wine_display.sh PREFIX PROGRAM.exe [ARGUMENTS...]
#     wine_display.sh PREFIX --shell SCRIPT [ARGUMENTS...]   (a bash script that starts Wine itself)
# A Wine prefix's server and desktop keep the display they were started with, so programs
# that show windows get a prefix apart from the tests that run without a display, and each run
# waits for that prefix's server to end before its X server goes. Runs in one prefix must
# therefore follow one another (CTest: RESOURCE_LOCK).
set -uo pipefail

fail() {
    echo "wine_display: $*" >&2
    exit 1
}

[ $# -ge 2 ] || fail "usage: wine_display.sh PREFIX PROGRAM.exe [ARGUMENTS...]"
if [ -z "${KELVORA_IN_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || fail "xvfb-run not found (scripts/install-deps installs xvfb)"
    command -v xauth >/dev/null || fail "xauth not found (scripts/install-deps installs it)"
    KELVORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        bash "${BASH_SOURCE[0]}" "$@"
fi

export WINEPREFIX=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
export KELVORA_WINE=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

if [ "$1" = --shell ]; then
    shift
    bash "$@"
else
    "$KELVORA_WINE" "$@"
fi
status=$?
"$wineserver" -w
exit "$status"
