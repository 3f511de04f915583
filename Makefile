# Set-up and entry points. Each target installs the system packages it needs first.
SHELL := /bin/bash
WINEPREFIX := $(CURDIR)/build/windows/wineprefix
XVFB := xvfb-run -a -s "-screen 0 1024x768x24"
SOURCES = $(shell git ls-files '*.cpp' '*.h')

# ccache keys an object by the paths inside the checkout, not by where the checkout lies: a fresh
# clone (a CI run) builds from the objects an earlier clone left in the cache.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := true

.PHONY: deps native windows asan tsan fuzz test test-native test-windows test-asan test-tsan test-fuzz format format-check demo dist package test-package

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

# Two lanes side by side, each one step after another: the native build with its package, its
# sanitizer runs and the fuzz replay, and the Windows build with its tests under Wine and its
# package. Most native and Wine tests wait on a serial line, a time-out or Wine, while the builds
# and the fuzz runs keep the cores busy, so the lanes share the two cores well.
test: format-check
	@$(MAKE) --no-print-directory -j2 --output-sync=target lane-native lane-windows

.PHONY: lane-native lane-windows
lane-native:
	@$(MAKE) --no-print-directory test-native && $(MAKE) --no-print-directory test-deb && \
		$(MAKE) --no-print-directory test-asan && $(MAKE) --no-print-directory test-tsan && \
		$(MAKE) --no-print-directory test-fuzz
lane-windows:
	@$(MAKE) --no-print-directory test-windows && $(MAKE) --no-print-directory test-zip

demo: native
	bash scripts/demo.sh build/native

# The packages users install, named with the project's version: the Debian package from the
# native build, the Windows zip from the cross build (CPack makes both).
VERSION = $(shell sed -n '/^project/s/.* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB = dist/tevrix_$(VERSION)_amd64.deb
ZIP = dist/Tevrix-$(VERSION)-win64.zip

package: native
	cmake --build build/native --target package
	@echo "$(DEB)"

dist: windows
	cmake --build build/windows --target package
	@echo "$(ZIP)"

# Each package as a user gets it: the .deb unpacked (never installed) and checked with lintian,
# the zip unpacked and its Tevrix.exe run under Wine.
.PHONY: test-deb test-zip
test-package: test-deb test-zip
test-deb: package
	bash tests/package/deb_test.sh $(DEB)
test-zip: dist
	bash tests/package/zip_test.sh $(ZIP) build/windows/wine-run.sh; status=$$?; \
		WINEPREFIX=$(WINEPREFIX) wineserver -k 2>/dev/null; exit $$status

# Speed over a paced pseudo-terminal against tevrix-sim (a few minutes); not part of `make test`.
.PHONY: bench
# `make bench SECTION=runs` measures one section alone (search, runs, transfers, ceiling, monitor).
SECTION ?=
bench: native
	build/native/bench/tevrix-bench "" $(SECTION)
