# Quick start: `make demo` builds everything and converts the samples; `make test` runs every test,
# native and under Wine. Both install what is missing first (scripts/bootstrap).
BUILD ?= build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
JOBS ?= $(shell nproc)
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=

.PHONY: all bootstrap native win32 test test-native test-win32 demo clean

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

test-win32: win32
	ctest --test-dir $(WIN32) --output-on-failure

test: test-native test-win32

demo: native win32
	@scripts/demo $(NATIVE) $(WIN32)

clean:
	rm -rf $(BUILD)
