#!/usr/bin/env bash
# The kelvora program on a real X server (Xvfb): its window must appear, titled "Kelvora",
# and the program must exit with status 0 once the window is closed. With --icon the window
# must also carry an icon (_NET_WM_ICON, read with xprop from x11-utils).
#     x_smoke_test.sh KELVORA X_CLOSE_WINDOW [--icon]
# KELVORA_SMOKE_LAUNCHER runs the program through another (Wine for kelvora.exe), and
# KELVORA_SMOKE_SECONDS gives it that long to show its window and to end (10 s).
# With --no-display: kelvora started with no display at all must print one line to stderr
# and exit non-zero, rather than abort inside Qt.
#     x_smoke_test.sh --no-display KELVORA
set -uo pipefail

fail() {
    echo "x_smoke_test: $*" >&2
    exit 1
}

if [ "${1:-}" = --no-display ]; then
    [ $# -eq 2 ] || fail "usage: x_smoke_test.sh --no-display KELVORA"
    err=$(mktemp)
    trap 'rm -f "$err"' EXIT
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$2" 2>"$err")
    status=$?
    [ "$status" -ne 124 ] || fail "kelvora without a display was still running after 10 s"
    [ "$status" -ne 0 ] || fail "kelvora without a display exited with status 0"
    [ -z "$out" ] || fail "kelvora without a display wrote to stdout: $out"
    [ "$(wc -l <"$err")" -eq 1 ] || fail "expected one line on stderr, got: $(cat "$err")"
    grep -q '^kelvora: no display' "$err" || fail "unexpected message: $(cat "$err")"
    echo "exit status $status: $(cat "$err")"
    exit 0
fi

case "$#:${3:-}" in
    2: | 3:--icon) ;;
    *) fail "usage: x_smoke_test.sh KELVORA X_CLOSE_WINDOW [--icon]" ;;
esac
kelvora=$1
close_window=$2
icon=${3:-}

# Start again inside a private X server.
if [ -z "${KELVORA_SMOKE_IN_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || fail "xvfb-run not found (scripts/install-deps installs xvfb)"
    command -v xauth >/dev/null || fail "xauth not found (scripts/install-deps installs it)"
    command -v xdotool >/dev/null || fail "xdotool not found (scripts/install-deps installs it)"
    [ -z "$icon" ] || command -v xprop >/dev/null ||
        fail "xprop not found (scripts/install-deps package installs it)"
    KELVORA_SMOKE_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" \
        bash "${BASH_SOURCE[0]}" "$kelvora" "$close_window" $icon
fi

unset QT_QPA_PLATFORM WAYLAND_DISPLAY
seconds=${KELVORA_SMOKE_SECONDS:-10}
start=$(date +%s%N)
${KELVORA_SMOKE_LAUNCHER:-} "$kelvora" &
pid=$!
stop() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

window=$(timeout "$seconds" xdotool search --sync --onlyvisible --name '^Kelvora$' | head -n 1)
if [ -z "$window" ]; then
    stop
    fail "no window titled Kelvora was mapped within $seconds s"
fi
shown=$(date +%s%N)
owner=$(xdotool getwindowpid "$window" 2>/dev/null)
if [ "$owner" != "$pid" ]; then
    stop
    fail "the window titled Kelvora belongs to process $owner, not to kelvora ($pid)"
fi
echo "window $window of process $pid is shown after $(((shown - start) / 1000000)) ms"
if [ -n "$icon" ]; then
    sizes=$(xprop -len 4000000 -id "$window" _NET_WM_ICON | grep -o '[0-9]* x [0-9]*' | tr -d ' ' |
        sort -n | tr '\n' ' ')
    if [ -z "$sizes" ]; then
        stop
        fail "window $window has no icon (_NET_WM_ICON)"
    fi
    echo "window icon sizes: $sizes"
fi

# No window manager runs here, so send the request to close as one would.
if ! "$close_window" "$window"; then
    stop
    fail "could not ask window $window to close"
fi
for _ in $(seq $((seconds * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    stop
    fail "kelvora still runs $seconds s after its window was closed"
fi
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "kelvora exited with status $status after its window was closed"
echo "kelvora exited with status 0 after its window was closed"
