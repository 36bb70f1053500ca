#!/usr/bin/env bash
# Leak check of the kelvora program of an AddressSanitizer build, on a real X server (Xvfb):
# start it, use it (type into every box, go through the sensor list, switch the option),
# close its window as a window manager would, and read what LeakSanitizer reports at exit.
#     leak_check.sh KELVORA X_CLOSE_WINDOW
# Fails when a leak's allocation stack has a frame in Kelvora's own code, and on a leak
# traced to none of the third-party libraries in leak_check.lsan (review, then add it).
#
# LeakSanitizer's own suppressions match a pattern against any frame of a stack, so a leak
# of ours allocated through a call into Qt would vanish behind a suppression naming Qt. So
# the program runs with no suppressions at all, with full stacks (the slow unwinder: Qt's
# libraries have no frame pointers), and this script sorts every reported leak itself.
set -uo pipefail

fail() {
    echo "leak_check: $*" >&2
    exit 1
}

[ $# -eq 2 ] || fail "usage: leak_check.sh KELVORA X_CLOSE_WINDOW"
kelvora=$(realpath "$1")
close_window=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")
suppressions=$here/leak_check.lsan

[[ $(ldd "$kelvora") == *libasan* ]] || fail "$kelvora is not built with AddressSanitizer"

if [ -z "${KELVORA_LEAK_CHECK_IN_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || fail "xvfb-run not found (scripts/install-deps installs xvfb)"
    command -v xdotool >/dev/null || fail "xdotool not found (scripts/install-deps installs it)"
    # Display numbers from 150 up: the X smoke test, which may run alongside, takes 99 up.
    KELVORA_LEAK_CHECK_IN_XVFB=1 exec xvfb-run -a -n 150 -s "-screen 0 1024x768x24" \
        bash "${BASH_SOURCE[0]}" "$kelvora" "$close_window"
fi

report=$(mktemp)
trap 'rm -f "$report"' EXIT
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# Added to the caller's options (the later of two settings wins). verbosity=2 makes the leak
# checker log the threads it stops: proof that it ran at exit.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1:fast_unwind_on_malloc=0:malloc_context_size=64 \
    LSAN_OPTIONS=exitcode=23:verbosity=2 \
    "$kelvora" 2>"$report" &
pid=$!
stop() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kelvora$' | head -n 1)
[ -n "$window" ] || {
    stop
    fail "no window titled Kelvora was mapped within 20 s"
}

# Keys go to the focused control: Text1 at start, then along the tab order.
xdotool windowfocus --sync "$window" || {
    stop
    fail "could not focus window $window"
}
keys() { xdotool key --delay 20 "$@"; }
typed() { xdotool type --delay 20 "$1"; }
use_window() {
    keys ctrl+a && typed 20 &&                            # Text1: reference
        keys Tab ctrl+a && typed 1000 &&                  # Text2: temperature
        keys Tab ctrl+a && typed 4.5x &&                  # Text3: EMF
        keys Tab Down Down End Up && typed P &&           # Combo1: to Pt100
        keys Home Down Down Down &&                       # and back to K
        keys Tab space shift+Tab shift+Tab shift+Tab shift+Tab &&  # Option1, then Text1
        keys ctrl+a && typed 1e999 && keys BackSpace BackSpace     # out of range, then not
}
use_window || {
    stop
    fail "xdotool could not send the keys"
}

"$close_window" "$window" || {
    stop
    fail "could not ask window $window to close"
}
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    stop
    fail "kelvora still runs 10 s after its window was closed"
fi
wait "$pid"
status=$?

grep -q 'Attached to thread' "$report" || {
    cat "$report" >&2
    fail "LeakSanitizer did not run at exit (status $status)"
}
if grep -qE 'ERROR: AddressSanitizer|runtime error:|LeakSanitizer has encountered a fatal' \
    "$report"; then
    grep -vE '^==[0-9]+==(Attached|Detached|Installed|T[0-9]|Set|Using|Init|AddressSan|Thread)' \
        "$report" >&2
    fail "a sanitizer reported an error"
fi
case $status in
    0 | 23) ;;
    *) fail "kelvora exited with status $status after its window was closed" ;;
esac

# Sort each reported leak (a "Direct/Indirect leak of" line and its frames): ours when a
# frame lies in this source tree or in the kelvora namespace; tolerated when a frame lies
# in a library named in leak_check.lsan; otherwise unexplained.
patterns=$(sed -n 's/^leak:\(.*[^[:space:]]\)[[:space:]]*$/\1/p' "$suppressions")
sorted=$(awk -v src="$source_dir/" -v exe="$kelvora" -v pats="$patterns" '
    function close_block() {
        if (head == "") return
        if (ours) { o++; print "OURS\n" block }
        else if (lib != "") { t++; tolerated[lib] += bytes }
        else { u++; print "UNEXPLAINED\n" block }
        head = ""
    }
    BEGIN { n = split(pats, p, "\n") }
    /^(Direct|Indirect) leak of/ {
        close_block(); head = $0; block = $0 "\n"; ours = 0; lib = ""; bytes = $4; next
    }
    head != "" && /^ +#[0-9]+ / {
        block = block $0 "\n"
        if (index($0, src) || index($0, exe) || index($0, " in kelvora::")) ours = 1
        for (i = 1; i <= n && lib == ""; i++) if (index($0, p[i])) lib = p[i]
        next
    }
    { close_block() }
    END {
        close_block()
        for (l in tolerated) printf "TOLERATED %s: %d byte(s)\n", l, tolerated[l]
        printf "COUNTS %d %d %d\n", o, u, t
    }' "$report")
read -r ours unexplained tolerated < <(sed -n 's/^COUNTS //p' <<<"$sorted")

if [ "$ours" -gt 0 ] || [ "$unexplained" -gt 0 ]; then
    grep -v '^COUNTS' <<<"$sorted" >&2
    fail "$ours leak(s) in Kelvora's code, $unexplained in no library of leak_check.lsan"
fi
[ "$status" -eq 0 ] || [ "$tolerated" -gt 0 ] || fail "exit status 23 without a leak report"
echo "window $window shown, used and closed; kelvora exited with status $status"
echo "LeakSanitizer: no leak in Kelvora's code; $tolerated leak(s) in third-party libraries"
sed -n 's/^TOLERATED /  tolerated, /p' <<<"$sorted"
exit 0
