# Kelvora: the two commands a fresh Debian 12 machine needs are `make run` and `make test`.
# Both install what is missing (scripts/install-deps), configure and build first.

PRESET ?= dev
BUILD_DIR := build/$(PRESET)

.PHONY: all deps configure build test run bench screenshot format clean fuzz test-asan \
	windows test-windows windows-installer bench-windows screenshot-windows

all: build

deps:
	@./scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

test: build
	@ctest --preset $(PRESET) --output-on-failure

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer (asan preset):
# the Qt tests off screen, the program on Xvfb, and a leak check of the program. Any finding
# fails the run; third-party leaks pass only as the tests/*.lsan files name them.
SANITIZER_ENV := \
	ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@$(SANITIZER_ENV) ctest --preset asan --output-on-failure

run:
	@$(MAKE) --no-print-directory build PRESET=release
	@./build/release/app/kelvora

screenshot:
	@$(MAKE) --no-print-directory build PRESET=release
	@QT_QPA_PLATFORM=offscreen ./build/release/app/kelvora_screenshot docs/screenshot.png
	@echo "wrote docs/screenshot.png"

# Benchmarks (release preset, and the python preset for kelvora's rows): prints one table of
# every figure beside its floor; the start-up part runs on Xvfb as well as off screen. See
# docs/performance.md.
bench:
	@$(MAKE) --no-print-directory build PRESET=release
	@./scripts/install-deps python
	@cmake --preset python >/dev/null
	@cmake --build --preset python --target kelvora_python kelvora_python_floor
	@$(PYTHON) bench/run.py build/release build/python

# The libFuzzer targets (clang, fuzz preset), each for FUZZ_SECONDS on a scratch copy of its
# seed corpus; fails on any finding and names the saved input. CI: make fuzz FUZZ_SECONDS=30
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@./fuzz/run-fuzzers build/fuzz $(FUZZ_SECONDS)

# Kelvora for Windows, cross-built with MinGW-w64 (windows preset); its tests run under Wine.
windows:
	@./scripts/install-deps windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

test-windows: windows
	@ctest --preset windows --output-on-failure

# kelvora.exe's size and start-up under Wine beside a bare Win32 window and the fair floor, a
# window with one Chinese label and visual styles (goal: at most 1.3× that; indications only).
bench-windows: windows
	@python3 bench/wine_startup.py build/windows

# build/windows/kelvora-<version>-setup.exe (NSIS): per-user install, Start-menu shortcut.
windows-installer: windows
	@cmake --build --preset windows --target kelvora_installer

# kelvora.exe's window as Wine shows it on Xvfb, to docs/screenshot-windows.png.
screenshot-windows: windows
	@./scripts/screenshot-windows build/windows

format:
	@git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

clean:
	@rm -rf build

# Kelvora for Python (python preset, build/python): the wheel
# build/python/kelvora-<version>-cp311-cp311-linux_x86_64.whl, built offline with Debian's
# python3-build from the same CMake build; test-python runs pytest on the package in the build
# tree and installs the wheel into a fresh virtual environment, through CTest.
.PHONY: python test-python
PYTHON := /usr/bin/python3
python:
	@./scripts/install-deps python
	@cmake --preset python >/dev/null
	@cmake --build --preset python
	@rm -f build/python/kelvora-*.whl
	@$(PYTHON) -m build --no-isolation --wheel --outdir build/python python \
		>build/python/wheel.log 2>&1 || { cat build/python/wheel.log; exit 1; }
	@echo "built $$(ls build/python/kelvora-*.whl)"

test-python: python
	@ctest --preset python --output-on-failure

# The Debian packages, build/release/kelvora_<version>_amd64.deb and
# build/python/python3-kelvora_<version>_amd64.deb (docs/packaging.md).
.PHONY: package test-package
package:
	@./scripts/install-deps package python
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target package
	@cmake --preset python >/dev/null
	@cmake --build --preset python --target package

# The packages checked, installed with apt-get, used (the program started on Xvfb, the module
# imported) and purged again: changes the machine's installed packages, so it needs root (as in
# CI) or sudo.
test-package: package
	@./tests/package_test.sh build/release build/python

# Kelvora in the browser (web preset, emscripten): the whole app as static files in
# build/web/site. test-web runs the core and controller suites under Node, then the browser
# tests (Playwright from npm, driving Debian's Chromium) against the site on the loopback; the
# sensor view's are checked against the native kelvora-cli (dev preset), built first.
.PHONY: web test-web serve-web bench-web screenshot-web
web:
	@./scripts/install-deps web
	@cmake --preset web >/dev/null
	@cmake --build --preset web

test-web: web
	@ctest --preset web --output-on-failure
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target kelvora_cli_program
	@PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent
	@KELVORA_CLI=build/dev/app/kelvora-cli npx playwright test -c tests/web/playwright.config.mjs

# Size, first paint and keystroke of the web app in headless Chromium, beside their floors
# (docs/performance.md).
bench-web: web
	@PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent
	@node bench/web_bench.mjs

# The web app at a desktop size and as a phone, to docs/screenshot-web*.png.
screenshot-web: web
	@./scripts/screenshot-web

# Try it in a browser at http://127.0.0.1:8080/ (Ctrl-C ends).
serve-web: web
	@./scripts/serve-web build/web/site 8080
