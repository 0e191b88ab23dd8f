# Cantoria: `make run` starts the program, `make test` builds both ways and runs every test.
SHELL := /bin/bash
NATIVE := build/native
ASAN := build/asan
WIN := build/win32
WIN64 := build/win64
FUZZ := build/fuzz
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: all deps build native win32 win64 asan test test-native test-asan test-gui run fuzz fuzz-ci bench \
        screenshots coverage dist clean

all: build

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DCANTORIA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)

win32: deps
	@cmake --no-warn-unused-cli -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j $(JOBS)

win64: deps
	@cmake --no-warn-unused-cli -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DCANTORIA_RELEASE_BUILD=$(abspath $(WIN)) >/dev/null
	@cmake --build $(WIN64) -j $(JOBS)

build: native win32 win64

# The Windows build that runs under this machine's Wine: the 32-bit one users get,
# or the 64-bit one of the same sources where no 32-bit program runs.
GUI_BUILD = $$(bash scripts/wine-env.sh build "$(1)")

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-asan: asan
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

test-gui: win32 win64
	@gui=$(call GUI_BUILD,GUI tests) && bash scripts/wine-setup.sh $$gui && cd $$gui && ctest --output-on-failure

test: test-native test-asan test-gui fuzz-ci

run: win32 win64
	@bash scripts/run.sh $(call GUI_BUILD,make run)

fuzz: deps
	@cmake -S . -B $(FUZZ) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCANTORIA_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)
	@bash scripts/fuzz.sh $(FUZZ) $(FUZZ_SECONDS)

fuzz-ci:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30

clean:
	rm -rf build dist

screenshots: win32 win64
	@bash scripts/screenshots.sh $(call GUI_BUILD,make screenshots)

COVERAGE := build/coverage
coverage: deps
	@cmake -S . -B $(COVERAGE) -DCMAKE_BUILD_TYPE=Debug -DCANTORIA_COVERAGE=ON >/dev/null
	@cmake --build $(COVERAGE) -j $(JOBS)
	@find $(COVERAGE) -name '*.gcda' -delete
	@cd $(COVERAGE) && ctest -j $(JOBS) >/dev/null || (echo "coverage: tests failed"; exit 1)
	@bash scripts/coverage.sh $(COVERAGE)

bench: native win32 win64
	@bash scripts/bench.sh $(NATIVE) $(call GUI_BUILD,Wine benchmarks)

dist: win32
	@bash scripts/dist.sh $(WIN)
