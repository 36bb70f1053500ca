#!/usr/bin/env bash
# kelvora-cli as installed programs are used: its C tables compile with gcc -std=c99 -Wall
# -Werror and hold the values of its csv tables; the exit status and the language of a
# message through the shell; a column through a pipe.
#   cli_program_test.sh KELVORA_CLI
set -euo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for args in "T" "Pt100 --from -10.5 --to 20 --step 0.5" "K --cj 25 --digits 6" "Cu50" \
    "Pt100.05 --cvd 3.9e-3,-6e-7 --from -5 --to 5"; do
    "$cli" table $args --format csv | tail -n +2 > "$dir/expected"
    "$cli" table $args --format c > "$dir/table.c"
    array=$(sed -n 's/^static const double \(kelvora_[A-Za-z0-9_]*\)\[.*/\1/p' "$dir/table.c")
    prefix=$(sed -n 's/^#define \(KELVORA_[A-Z0-9_]*\)_COUNT .*/\1/p' "$dir/table.c")
    line=$(head -n 1 "$dir/expected")
    t=${line%,*} v=${line#*,}
    tdec=$([[ $t == *.* ]] && echo $((${#t} - $(expr index "$t" .))) || echo 0)
    vdec=$((${#v} - $(expr index "$v" .)))
    cat > "$dir/main.c" <<C
#include <stdio.h>
#include "table.c"
int main(void) {
    for (int i = 0; i < ${prefix}_COUNT; ++i)
        printf("%.${tdec}f,%.${vdec}f\n", ${prefix}_START_C + i * ${prefix}_STEP_C, ${array}[i]);
    return 0;
}
C
    gcc -std=c99 -Wall -Werror -o "$dir/table" "$dir/main.c" || fail "C table of '$args' does not compile"
    "$dir/table" | diff -q - "$dir/expected" >/dev/null || fail "C table of '$args' differs from csv"
done

status() { set +e; "$@" >/dev/null 2>&1; echo $?; set -e; }
[ "$(status "$cli" emf K 100)" = 0 ] || fail "emf K 100 status"
[ "$(status "$cli" emf K 2000)" = 1 ] || fail "out of range status"
[ "$(status "$cli" emf K 1,5)" = 2 ] || fail "bad number status"
[ "$(status "$cli" --nonsense)" = 2 ] || fail "unknown option status"
[[ $(LC_ALL= LANG=zh_CN.UTF-8 "$cli" emf K 2000 2>&1) == *超出* ]] || fail "Chinese message"
[[ $(LC_ALL= LANG=C "$cli" emf K 2000 2>&1) == *"out of range"* ]] || fail "English message"
[ "$(printf '0\n100\n' | "$cli" emf K - --cj 20)" = "$(printf -- '-0.798\n3.298')" ] ||
    fail "column through a pipe"
echo "kelvora-cli program test passed"
