#!/usr/bin/env bash
# kelvora.exe under Wine on a real X server: its window must appear, titled "Kelvora", and the
# program must exit with status 0 once the window is asked to close as a window manager's close
# button does (WM_DELETE_WINDOW, which Wine turns into WM_CLOSE). Run through wine_display.sh:
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

start=$(date +%s%N)
"$KELVORA_WINE" "$1" &
pid=$!
stop() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Kelvora$' | head -n 1)
if [ -z "$window" ]; then
    stop
    fail "no window titled Kelvora was mapped within 60 s"
fi
shown=$(date +%s%N)
owner=$(xdotool getwindowpid "$window" 2>/dev/null)
if [ "$owner" != "$pid" ]; then
    stop
    fail "the window titled Kelvora belongs to process $owner, not to kelvora.exe ($pid)"
fi
echo "window $window of process $pid is shown after $(((shown - start) / 1000000)) ms"

if ! "$work/x_close_window" "$window"; then
    stop
    fail "could not ask window $window to close"
fi
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    stop
    fail "kelvora.exe still runs 10 s after its window was closed"
fi
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "kelvora.exe exited with status $status after its window was closed"
echo "kelvora.exe exited with status 0 after its window was closed"
