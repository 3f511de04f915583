# Set-up and entry points. Each target installs the system packages it needs first.
SHELL := /bin/bash
WINEPREFIX := $(CURDIR)/build/windows/wineprefix
XVFB := xvfb-run -a -s "-screen 0 1024x768x24"
SOURCES = $(shell git ls-files '*.cpp' '*.h')

.PHONY: deps native windows asan tsan fuzz test test-native test-windows test-asan test-tsan format format-check demo dist

deps:
	@bash scripts/install-deps.sh

native: deps
	cmake --preset native
	cmake --build --preset native

windows: deps
	cmake --preset windows
	cmake --build --preset windows

asan: deps
	cmake --preset asan
	cmake --build --preset asan

tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan

# Each libFuzzer target runs for a bounded time from its seed corpus; any finding fails.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz

test-native: native
	ctest --preset native

test-asan: asan
	ctest --preset asan

test-tsan: tsan
	ctest --preset tsan

# Windows programs run under Wine on a virtual screen; the Wine server is ended by its prefix.
test-windows: windows
	$(XVFB) ctest --preset windows; status=$$?; WINEPREFIX=$(WINEPREFIX) wineserver -k 2>/dev/null; exit $$status

format:
	clang-format -i $(SOURCES)

format-check: deps
	clang-format --dry-run -Werror $(SOURCES)

test: format-check test-native test-windows test-asan test-tsan fuzz

demo: native
	bash scripts/demo.sh build/native

dist: windows
	mkdir -p dist
	rm -f dist/Tevrix.zip
	cd build/windows/app && zip -q $(CURDIR)/dist/Tevrix.zip Tevrix.exe
	zip -q dist/Tevrix.zip README.md
	@echo "dist/Tevrix.zip"

# Speed over a paced pseudo-terminal against tevrix-sim (a few minutes); not part of `make test`.
.PHONY: bench
bench: native
	build/native/bench/tevrix-bench
