# Quick start: `make demo` builds everything and converts the samples; `make test` runs every test,
# native and under Wine. Both install what is missing first (scripts/bootstrap).
BUILD ?= build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
ASAN := $(BUILD)/asan
FUZZ := $(BUILD)/fuzz
# Seconds for each fuzz target, in `make fuzz` and in the bounded pass of `make test`.
FUZZ_SECONDS ?= 60
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
JOBS ?= $(shell nproc)
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=

.PHONY: all bootstrap native win32 test test-native test-win32 test-asan test-fuzz fuzz fuzz-build fuzz-seeds demo clean

all: native win32

bootstrap:
	@scripts/bootstrap

native: bootstrap
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: bootstrap
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

# The Windows test programs run side by side: under an emulated Wine each one spends most of its
# time starting up, on one core.
test-win32: win32
	ctest --test-dir $(WIN32) --output-on-failure -j $(JOBS)

# The native suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer (gcc: its
# sanitizer runtimes are shared libraries, so the plug-in's own .so links as it always does).
test-asan: bootstrap
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=gcc \
	  -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_FLAGS="$(SANITIZE)" -DCMAKE_CXX_FLAGS="$(SANITIZE)" >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

# libFuzzer targets (clang); `make fuzz FUZZ_SECONDS=600` for a longer run.
fuzz-build: bootstrap
	@cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DORVANE_FUZZ=ON -DORVANE_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ) --target orvane_fuzzers -j $(JOBS)

fuzz: fuzz-build
	@scripts/fuzz $(FUZZ) $(FUZZ_SECONDS)

test-fuzz: fuzz

# Writes the seed corpus again from the test fixtures and the samples.
fuzz-seeds: fuzz-build
	$(FUZZ)/fuzz/orvane_fuzz_seeds fuzz/corpus $(wildcard samples/*.gpc samples/*.bmp)

# The sanitizer suite last, so that the run closes on its test summary.
test: test-native test-win32 test-fuzz test-asan

demo: native win32
	@scripts/demo $(NATIVE) $(WIN32)

clean:
	rm -rf $(BUILD)

# Benchmarks, not tests: the native ones (Google Benchmark), then the timing host of orvane01.spi
# under Wine in one process, with pictures of 1/BENCH_SCALE of each side (32-bit Wine may run
# emulated, several times slower). Each prints its ratio table; bench/README.md has the figures.
BENCH_NATIVE := $(BUILD)/bench-native
BENCH_WIN32 := $(BUILD)/bench-win32
BENCH_SCALE ?= 2
BENCH_REPEATS ?= 3
BENCH_FLAGS ?= --benchmark_repetitions=$(BENCH_REPEATS) --benchmark_report_aggregates_only=true

.PHONY: bench
bench: bootstrap
	@cmake -S . -B $(BENCH_NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_BENCH=ON >/dev/null
	@cmake --build $(BENCH_NATIVE) -j $(JOBS) --target orvane_bench
	$(BENCH_NATIVE)/bench/orvane_bench $(BENCH_FLAGS)
	@cmake -S . -B $(BENCH_WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_BENCH=ON >/dev/null
	@cmake --build $(BENCH_WIN32) -j $(JOBS) --target orvane_timing_host
	cd $(BENCH_WIN32) && wine bench/orvane_timing_host.exe orvane01.spi $(BENCH_SCALE) $(BENCH_REPEATS)
