#!/usr/bin/env bash
# The wheel as a user installs it: into a fresh virtual environment that sees Debian's numpy
# (--system-site-packages), offline, then imported and used from outside the source tree.
#     wheel_test.sh PYTHON BUILD_DIR VERSION        (build/python after `make python`)
set -euo pipefail
python=$1 build=$2 version=$3
wheels=("$build"/kelvora-"$version"-*.whl)
[ -f "${wheels[0]}" ] || { echo "wheel_test: no kelvora-$version wheel in $build: make python" >&2; exit 1; }
venv=$(mktemp -d)
trap 'rm -rf "$venv"' EXIT
unset PYTHONPATH
"$python" -m venv --system-site-packages "$venv"
"$venv/bin/python" -m pip install -q --no-index --no-deps --disable-pip-version-check "${wheels[0]}"
cd "$venv"
"$venv/bin/python" - "$venv" "$version" <<'EOF_PY'
import pathlib, sys
import kelvora
venv, version = sys.argv[1:]
package = pathlib.Path(kelvora.__file__).parent
assert package.is_relative_to(venv), package
assert kelvora.__version__ == version, kelvora.__version__
assert {p.name for p in package.iterdir()} >= {"py.typed", "_core.pyi", "__init__.py"}
assert kelvora.format_fixed(kelvora.emf("K", 100, cj=25), 3) == "3.096"  # NIST: 4.096 − 1.000
print(f"kelvora {version} installed from the wheel into {venv} and used")
EOF_PY
