# Kelvora: the two commands a fresh Debian 12 machine needs are `make run` and `make test`.
# Both install what is missing (scripts/install-deps), configure and build first.

PRESET ?= dev
BUILD_DIR := build/$(PRESET)

.PHONY: all deps configure build test run bench screenshot format clean

all: build

deps:
	@./scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

test: build
	@ctest --preset $(PRESET) --output-on-failure

run:
	@$(MAKE) --no-print-directory build PRESET=release
	@./build/release/app/kelvora

screenshot:
	@$(MAKE) --no-print-directory build PRESET=release
	@QT_QPA_PLATFORM=offscreen ./build/release/app/kelvora_screenshot docs/screenshot.png
	@echo "wrote docs/screenshot.png"

format:
	@git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

clean:
	@rm -rf build
