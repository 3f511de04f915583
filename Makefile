# Set-up and entry points. Each target installs the system packages it needs first.
SHELL := /bin/bash
WINEPREFIX := $(CURDIR)/build/windows/wineprefix
XVFB := xvfb-run -a -s "-screen 0 1024x768x24"
SOURCES = $(shell git ls-files '*.cpp' '*.h')

.PHONY: deps native windows asan tsan fuzz test test-native test-windows test-asan test-tsan test-fuzz format format-check demo dist

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

# Only the test programs that start threads: the race detector has nothing to find elsewhere.
tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan

# Every libFuzzer target over its checked-in corpus with a fixed seed and a fixed number of runs:
# the same inputs each time, so a red run is a real finding, not chance. Any finding fails.
test-fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz

# Exploration: each target with a random seed for FUZZ_SECONDS (default 300) and the inputs it
# learnt last time. Findings land in build/fuzz/fuzz-findings/<target>/.
FUZZ_SECONDS ?= 300
fuzz: deps
	cmake --preset fuzz -DTEVRIX_FUZZ_EXPLORE_SECONDS=$(FUZZ_SECONDS)
	cmake --build --preset fuzz
	ctest --preset fuzz-explore

# The edit-build-test loop: the native build and its unit tests, without the end-to-end scripts
# and the soak runs.
.PHONY: check
check: native
	ctest --preset check

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

test: format-check test-native test-windows test-asan test-tsan test-fuzz

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
