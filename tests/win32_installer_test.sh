#!/usr/bin/env bash
# The Windows installer under Wine, in a Wine prefix of its own made afresh: a silent install
# for the current user must leave the program where the Start-menu shortcut points and an
# entry in the user's list of programs; the program must start and show its window; a silent
# uninstall must take all of it away again.
# Run through wine_display.sh, which gives it a display and the prefix, made afresh here:
#     wine_display.sh PREFIX --shell win32_installer_test.sh SETUP_EXE SHELL_PROBE_EXE
set -uo pipefail

fail() {
    echo "win32_installer_test: $*" >&2
    exit 1
}

[ $# -eq 2 ] || fail "usage: win32_installer_test.sh SETUP_EXE SHELL_PROBE_EXE"
[ -n "${KELVORA_WINE:-}" ] && [ -n "${DISPLAY:-}" ] || fail "run through wine_display.sh"
setup=$1
probe=$2
wine=$KELVORA_WINE
wineserver=/usr/lib/wine/wineserver

rm -rf "$WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1 || fail "cannot make the Wine prefix $WINEPREFIX"
# Whatever a failure leaves running in the prefix ends with the test.
trap '"$wineserver" -k 2>/dev/null' EXIT
unixPath() { "$wine" winepath -u "$1" 2>/dev/null; }
uninstallKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvora'

"$wine" "$setup" /S || fail "the silent install failed"
"$wineserver" -w

link=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Kelvora.lnk' | head -n 1)
[ -n "$link" ] || fail "no Start-menu shortcut Kelvora.lnk"
target=$("$wine" "$probe" shortcut-target "$("$wine" winepath -w "$link" 2>/dev/null)" | tr -d '\r')
[ -n "$target" ] || fail "the shortcut points nowhere"
case "$target" in
    *\\AppData\\Local\\Programs\\Kelvora\\kelvora.exe) ;;
    *) fail "the shortcut points to $target, not to the user's programs folder" ;;
esac
exe=$(unixPath "$target")
[ -f "$exe" ] || fail "the shortcut points to $target, where there is no program"
echo "the Start-menu shortcut points to $target"

"$wine" reg query "$uninstallKey" /v UninstallString >/dev/null 2>&1 ||
    fail "no uninstaller in the user's list of programs"
uninstaller=$(dirname "$exe")/uninstall.exe
[ -f "$uninstaller" ] || fail "no uninstall.exe beside the program"
[ "$("$wine" "$(dirname "$exe")/kelvora-cli.exe" emf K 100 | tr -d '\r')" = 4.096 ] ||
    fail "no working kelvora-cli.exe beside the program"

"$wine" "$target" &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kelvora$' 2>/dev/null | head -n 1)
if [ -z "$window" ]; then
    kill "$pid" 2>/dev/null
    fail "the installed program showed no window titled Kelvora within 30 s"
fi
"$wine" "$probe" close-window Kelvora || fail "could not ask the program's window to close"
timeout 30 tail --pid="$pid" -f /dev/null || fail "the program still runs 30 s after its window was closed"
wait "$pid" || fail "the program exited with status $? after its window was closed"
echo "the installed program showed its window and ended when it was closed"

# The uninstaller copies itself away to delete its own file; wineserver -w waits for the copy.
"$wine" "$uninstaller" /S || fail "the silent uninstall failed"
"$wineserver" -w
[ ! -e "$exe" ] || fail "the program is still there after the uninstall"
[ ! -e "$(dirname "$exe")" ] || fail "the program's folder is still there: $(ls -A "$(dirname "$exe")")"
[ ! -e "$link" ] || fail "the Start-menu shortcut is still there after the uninstall"
! "$wine" reg query "$uninstallKey" >/dev/null 2>&1 ||
    fail "the entry in the user's list of programs is still there after the uninstall"
echo "the silent uninstall removed the program, its folder, the shortcut and the entry"
