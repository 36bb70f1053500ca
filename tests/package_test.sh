#!/usr/bin/env bash
# The Debian packages as a user meets them: their fields and files, the validators, then
# installed with apt-get and used (kelvora started on Xvfb with its window and icon, the Python
# module imported by Debian's python3), and purged without a trace. Changes the machine's
# installed packages: runs as root, or with sudo.
#     package_test.sh BUILD_DIR [PYTHON_BUILD_DIR]    (build/release and build/python, after
#                                                       `make package`)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
python_build=${2:-}
fail() {
    echo "package_test: $*" >&2
    exit 1
}
# Control fields of package $1, each against a pattern (lines field|pattern on stdin).
check_fields() {
    while IFS='|' read -r field pattern; do
        value=$(dpkg-deb -f "$1" "$field" | head -n 1)
        [[ $value =~ $pattern ]] || fail "field $field is '$value', expected /$pattern/"
    done
}
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$(realpath "$build")/kelvora_${version}_amd64.deb
[ -f "$deb" ] || fail "no package $deb"
dpkg-deb -x "$deb" "$scratch/root"

check_fields "$deb" <<EOF
Package|^kelvora$
Version|^$version$
Architecture|^amd64$
Section|^science$
Priority|^optional$
Maintainer|^Kelvora authors <[^@ ]+@[^@ ]+>$
Depends|fonts-noto-cjk.*qt6-qpa-plugins.*libc6 .*libqt6widgets6 \(>=
Description|^calculator for thermocouples and resistance thermometers$
Homepage|^$
EOF
# The releases named in the changelog and the AppStream metadata are this version.
doc=$scratch/root/usr/share
zcat "$doc/doc/kelvora/changelog.gz" | head -n 1 | grep -q "^kelvora ($version) " ||
    fail "the changelog does not start with version $version"
grep -q "<release version=\"$version\"" "$doc/metainfo/org.kelvora.Kelvora.metainfo.xml" ||
    fail "the metainfo names no release $version"

# Its files with their modes, and `cmake --install` installing the very same.
expected=$(sort -k2 <<<"-rwxr-xr-x /usr/bin/kelvora
-rwxr-xr-x /usr/bin/kelvora-cli
-rw-r--r-- /usr/share/bash-completion/completions/kelvora-cli
-rw-r--r-- /usr/share/man/man1/kelvora-cli.1.gz
-rw-r--r-- /usr/share/applications/kelvora.desktop
-rw-r--r-- /usr/share/doc/kelvora/changelog.gz
-rw-r--r-- /usr/share/doc/kelvora/copyright
$(for s in 16 22 24 32 48 64 128 256; do
    echo "-rw-r--r-- /usr/share/icons/hicolor/${s}x$s/apps/kelvora.png"
done)
-rw-r--r-- /usr/share/icons/hicolor/scalable/apps/kelvora.svg
-rw-r--r-- /usr/share/man/man1/kelvora.1.gz
-rw-r--r-- /usr/share/metainfo/org.kelvora.Kelvora.metainfo.xml")
contents=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $1, $6 }' | sort -k2)
[ "$contents" = "$expected" ] || fail "package contents differ:
$(diff <(echo "$expected") <(echo "$contents"))"
! dpkg-deb -c "$deb" | grep -v ' root/root ' || fail "files not owned by root"
DESTDIR=$scratch/install cmake --install "$build" --prefix /usr >/dev/null
installed=$(cd "$scratch/install" && find . -type f | sed 's/^\.//' | sort)
[ "$installed" = "$(cut -d' ' -f2 <<<"$expected" | sort)" ] ||
    fail "cmake --install installs other files than the package"

# The validators, on the files as packaged: validate-tree validates the metainfo and also
# finds the desktop entry it launches. The entry speaks English and Chinese.
desktop-file-validate "$doc/applications/kelvora.desktop"
appstreamcli validate-tree --no-net "$scratch/root"
for key in Name GenericName Comment Keywords; do
    grep -q "^$key=." "$doc/applications/kelvora.desktop" &&
        grep -q "^$key\[zh_CN\]=." "$doc/applications/kelvora.desktop" ||
        fail "the desktop entry lacks $key or $key[zh_CN]"
done
lintian --fail-on error,warning --info "$deb" 2>/dev/null
echo "package fields, files and validators pass"

# Installed by apt-get (a kelvora left by an earlier run is purged first), then used.
if dpkg-query -W kelvora >/dev/null 2>&1; then
    "${as_root[@]}" apt-get remove --purge -y -qq kelvora >/dev/null
fi
"${as_root[@]}" apt-get install -y -qq "$deb" >/dev/null
owned=$(dpkg -L kelvora)
[ "$(dpkg-query -W -f='${Version}' kelvora)" = "$version" ] || fail "kelvora $version not installed"
bash tests/x_smoke_test.sh /usr/bin/kelvora "$build/tests/x_close_window" --icon
# kelvora --help and --version without a display; kelvora-cli and its bash completion.
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY kelvora --version) == "kelvora $version" ]] ||
    fail "kelvora --version"
env -u DISPLAY -u WAYLAND_DISPLAY kelvora --help | grep -q kelvora-cli || fail "kelvora --help"
[ "$(/usr/bin/kelvora-cli emf K 100 --cj 25)" = 3.096 ] || fail "kelvora-cli emf K 100 --cj 25"
[ "$(bash -c 'source /usr/share/bash-completion/completions/kelvora-cli
    COMP_WORDS=(kelvora-cli table K --format j) COMP_CWORD=4; _kelvora_cli; echo "${COMPREPLY[*]}"')" = json ] ||
    fail "the bash completion of kelvora-cli"
bash tests/x_smoke_test.sh "$build/app/kelvora" "$build/tests/x_close_window" --icon
"${as_root[@]}" apt-get remove --purge -y -qq kelvora >/dev/null

# Nothing of it left: none of its files, no doc folder, no record in dpkg.
! dpkg-query -W kelvora 2>/dev/null || fail "dpkg still knows kelvora after the purge"
while read -r path; do
    [ -d "$path" ] || [ ! -e "$path" ] || fail "$path is left after the purge"
done <<<"$owned"
[ ! -e /usr/share/doc/kelvora ] || fail "/usr/share/doc/kelvora is left after the purge"
echo "kelvora $version installed, started, closed and purged without a trace"

# ---- python3-kelvora, from the python preset's build -----------------------------------------
[ -n "$python_build" ] || exit 0
pydeb=$(realpath "$python_build")/python3-kelvora_${version}_amd64.deb
[ -f "$pydeb" ] || fail "no package $pydeb"
check_fields "$pydeb" <<EOF
Package|^python3-kelvora$
Source|^kelvora$
Version|^$version$
Architecture|^amd64$
Section|^python$
Priority|^optional$
Maintainer|^Kelvora authors <[^@ ]+@[^@ ]+>$
Depends|^python3 \(>= 3\.[0-9]+~\), python3 \(<< 3\.[0-9]+\), python3-numpy \(>= 1:[0-9.]+\), python3-numpy-abi[0-9]+, libc6 \(>=
Description|^thermocouple and resistance thermometer conversions for numpy$
EOF
site=/usr/lib/python3/dist-packages/kelvora
suffix=$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
expected=$(sort -k2 <<<"$(for f in __init__.py "_core$suffix" _core.pyi _calibration.py _common.py \
    _conversions.py _its90.py _loop.py _sensors.py _tables.py _ufuncs.py _uncertainty.py py.typed; do
    echo "-rw-r--r-- $site/$f"
done)
-rw-r--r-- /usr/share/doc/python3-kelvora/changelog.gz
-rw-r--r-- /usr/share/doc/python3-kelvora/copyright")
contents=$(dpkg-deb -c "$pydeb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $1, $6 }' | sort -k2)
[ "$contents" = "$expected" ] || fail "python3-kelvora's contents differ:
$(diff <(echo "$expected") <(echo "$contents"))"
DESTDIR=$scratch/python cmake --install "$python_build" --component python --prefix /usr >/dev/null
installed=$(cd "$scratch/python" && find . -type f | sed 's/^\.//' | sort)
[ "$installed" = "$(cut -d' ' -f2 <<<"$expected" | sort)" ] ||
    fail "cmake --install --component python installs other files than python3-kelvora"
lintian --fail-on error,warning --info "$pydeb" 2>/dev/null
echo "python3-kelvora fields, files and lintian pass"

# Installed by apt-get beside kelvora, imported by Debian's interpreter from outside the tree;
# its table gives the installed kelvora-cli's digits. Purged: no file and no byte code left.
if dpkg-query -W python3-kelvora >/dev/null 2>&1; then
    "${as_root[@]}" apt-get remove --purge -y -qq python3-kelvora >/dev/null
fi
"${as_root[@]}" apt-get install -y -qq "$deb" "$pydeb" >/dev/null
owned=$(dpkg -L python3-kelvora)
(cd / && env -u PYTHONPATH /usr/bin/python3 - "$version" /usr/bin/kelvora-cli) <<'EOF'
import subprocess, sys
import kelvora
version, cli = sys.argv[1:]
assert kelvora.__file__ == "/usr/lib/python3/dist-packages/kelvora/__init__.py", kelvora.__file__
assert kelvora.__version__ == version, kelvora.__version__
csv = subprocess.run([cli, "table", "K", "--step", "0.5", "--cj", "22.5", "--format", "csv"],
                     check=True, capture_output=True, text=True).stdout.splitlines()[1:]
table = kelvora.table("K", step=0.5, cj=22.5)
assert [line.split(",")[1] for line in csv] == kelvora.format_fixed(table["emf_mV"], 3).tolist()
assert [float(line.split(",")[0]) for line in csv] == table["temperature_C"].tolist()
EOF
"${as_root[@]}" apt-get remove --purge -y -qq python3-kelvora kelvora >/dev/null
! dpkg-query -W python3-kelvora 2>/dev/null || fail "dpkg still knows python3-kelvora after the purge"
while read -r path; do
    [ -d "$path" ] || [ ! -e "$path" ] || fail "$path is left after the purge"
done <<<"$owned"
for left in "$site" /usr/share/doc/python3-kelvora; do
    [ ! -e "$left" ] || fail "$left is left after the purge"
done
echo "python3-kelvora $version installed beside kelvora, imported, used and purged without a trace"
