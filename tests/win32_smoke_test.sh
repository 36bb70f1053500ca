#!/usr/bin/env bash
# kelvora.exe under Wine on a real X server, checked by the Linux smoke test: its window must
# appear, titled "Kelvora", and the program must exit with status 0 once the window is asked to
# close as a window manager's close button does (WM_DELETE_WINDOW, which Wine turns into
# WM_CLOSE). Run through wine_display.sh:
#     wine_display.sh PREFIX --shell win32_smoke_test.sh KELVORA.EXE
set -uo pipefail

fail() {
    echo "win32_smoke_test: $*" >&2
    exit 1
}

[ $# -eq 1 ] || fail "usage: win32_smoke_test.sh KELVORA.EXE (through wine_display.sh)"
[ -n "${KELVORA_WINE:-}" ] && [ -n "${DISPLAY:-}" ] || fail "run through wine_display.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The tool that sends WM_DELETE_WINDOW is the Linux smoke test's, built here for the host.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -O1 -o "$work/x_close_window" "$here/x_close_window.cpp" -lX11 ||
    fail "cannot build x_close_window (scripts/install-deps installs g++ and libx11-dev)"

# The Linux smoke test, in the display and Wine prefix wine_display.sh made.
KELVORA_SMOKE_IN_XVFB=1 KELVORA_SMOKE_LAUNCHER=$KELVORA_WINE KELVORA_SMOKE_SECONDS=60 \
    bash "$here/x_smoke_test.sh" "$1" "$work/x_close_window"
