# Entry points. `make run` writes the report of this folder with the window's
# defaults and shows it in UTF-8; `make check` builds everything and runs
# every test, native and under Wine.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

# Builds quietly into $(1), showing the compiler's output only when it fails.
define quiet_build
	@cmake --build $(1) -j $(JOBS) >$(1)/build.log 2>&1 || { cat $(1)/build.log; exit 1; }
endef

.PHONY: setup build build-win run check gui bench clean

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
	$(call quiet_build,build)

build-win: setup
	@cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release -DDIRTREE_NATIVE_CLI=$(CURDIR)/build/dirtree-cli >/dev/null
	$(call quiet_build,build-win)

run: build
	@set -o pipefail; build/dirtree-cli --annotate size --pad 12 . | iconv -f CP936 -t UTF-8

check: build
	@$(MAKE) --no-print-directory build-win
	@bash scripts/check.sh

# The window on your own display, in a prefix without Wine's virtual desktop.
gui: build-win
	@DIRTREE_WINEPREFIX=$(CURDIR)/build-win/wineprefix-gui DIRTREE_VIRTUAL_DESKTOP=0 \
	  scripts/wine-run build-win/dirtree.exe

bench: build
	@bash bench/tree_vs_cli.sh

clean:
	rm -rf build build-win
