# Everything starts here: `make run` and `make test` install what is missing, build and go.
.PHONY: all deps build run test test-locale sanitize bench fuzz package package-check windows web web-check web-bench clean

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
DEV := build/dev
ASAN := build/asan

# A compiler cache shared by every checkout on the machine: paths are taken relative to the checkout,
# so a fresh clone (CI's) compiles only what differs from the last build.
ifneq ($(shell command -v ccache 2>/dev/null),)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
LAUNCHER := -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
endif

all: build

deps:
	@bash scripts/install-deps

build: deps
	@cmake --preset dev $(LAUNCHER) >/dev/null
	@cmake --build $(DEV) -j $(JOBS)

run: build
	@if [ -x $(DEV)/src/app/korvan-lens-calculator ]; then \
	  $(DEV)/src/app/korvan-lens-calculator; \
	else \
	  $(DEV)/src/cli/korvan-lens calc --shutter 3 --f-number 2.8 --distance 2 --field-width 0.5 --velocity 1; \
	fi

test: build
	@ctest --test-dir $(DEV) --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-locale

# Numbers must read and print the same on a desktop whose decimal separator is a comma.
test-locale:
	@LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 ctest --test-dir $(DEV) --output-on-failure -j $(JOBS)

sanitize: deps
	@cmake --preset asan $(LAUNCHER) >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

bench: deps
	@bash scripts/run-benchmarks

fuzz: deps
	@bash scripts/run-fuzzers $(FUZZ_SECONDS)

# Debian's compiler and linker flags (hardening included), given on every configure since CMake
# reads CXXFLAGS and LDFLAGS from the environment only on the first; CMake ignores CPPFLAGS,
# which carries _FORTIFY_SOURCE.
BUILDFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
PACKAGE_FLAGS = -DCMAKE_CXX_FLAGS="$$($(BUILDFLAGS) CXXFLAGS) $$($(BUILDFLAGS) CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$$($(BUILDFLAGS) LDFLAGS)"

# A Debian package of the program, the command, the camera files, the desktop entry, the icons,
# the metainfo, the manual pages and the completion, built in its own folder for /usr; the .deb
# lands in build/package.
PACKAGE := build/package
package:
	@KORVAN_PACKAGE=1 bash scripts/install-deps
	@cmake -S . -B $(PACKAGE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DKORVAN_BUILD_TESTS=OFF $(PACKAGE_FLAGS) >/dev/null
	@cmake --build $(PACKAGE) -j $(JOBS)
	@rm -f $(PACKAGE)/*.deb
	@cd $(PACKAGE) && cpack -G DEB

# The package checked by the distribution's tools, installed with apt-get and run (needs root or
# sudo; the package is removed again afterwards unless it was installed before).
package-check: package
	@bash scripts/package-check $(PACKAGE)/korvan-lens-calculator_*.deb

# The core, the command and the core's tests cross-built for 64-bit Windows (mingw-w64), the tests
# run under wine, then the Windows command compared with the Linux one byte for byte.
WINDOWS := build/windows
WINE_ENV := WINEPREFIX=$(CURDIR)/$(WINDOWS)/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
windows: build
	@KORVAN_WINDOWS=1 bash scripts/install-deps
	@cmake -S . -B $(WINDOWS) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=Release --toolchain cmake/mingw-w64-x86_64.cmake \
	  -DKORVAN_BUILD_GUI=OFF -DKORVAN_GTEST_SOURCE_DIR=/usr/src/googletest \
	  -DCLI11_DIR=$(CURDIR)/cmake/cross-packages -Dnlohmann_json_DIR=$(CURDIR)/cmake/cross-packages \
	  -DFastFloat_DIR=$(CURDIR)/cmake/cross-packages >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)
	@# The first start sets up the prefix (slow); the server then stays, so that each run starts fast.
	@# Its streams go nowhere: a server holding make's output open would keep a reading pipe waiting.
	@# A server left by an interrupted run would refuse a second one: end it first.
	@$(WINE_ENV) wineserver -k </dev/null >/dev/null 2>&1 || true
	@mkdir -p $(WINDOWS)/wine-prefix && $(WINE_ENV) wineserver -p 300 </dev/null >/dev/null 2>&1 && \
	  $(WINE_ENV) wineboot -i </dev/null >/dev/null 2>&1
	@$(WINE_ENV) WINEDEBUG=-all,warn+heap ctest --test-dir $(WINDOWS) --output-on-failure -j $(JOBS)
	@$(WINE_ENV) bash scripts/compare-windows $(DEV)/src/cli/korvan-lens $(WINDOWS)/src/cli/korvan-lens.exe cameras
	@$(WINE_ENV) wineserver -k

# The core in WebAssembly (emscripten) and the page around it, in build/web: serve that folder with
# any static server. web-check holds the core to the native command byte for byte and drives the
# page in headless Chromium.
WEB := build/web
WEB_CORE := build/web-core
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs
web: deps
	@KORVAN_WEB=1 bash scripts/install-deps
	@$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_CORE) -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) \
	  -DKORVAN_BUILD_GUI=OFF -DKORVAN_BUILD_TESTS=OFF -DCLI11_DIR=$(CURDIR)/cmake/cross-packages \
	  -Dnlohmann_json_DIR=$(CURDIR)/cmake/cross-packages -DFastFloat_DIR=$(CURDIR)/cmake/cross-packages >/dev/null
	@$(EMSCRIPTEN_ENV) cmake --build $(WEB_CORE) -j $(JOBS) --target korvan-core-web korvan-core-node
	@bash web/build $(WEB_CORE) $(WEB)

web-check: build web
	@node web/tests/compare-native.mjs $(WEB_CORE)/src/web/korvan-core-node.js $(DEV)/src/cli/korvan-lens cameras
	@node web/tests/browser.mjs $(WEB) $(DEV)/src/cli/korvan-lens

# Keystroke to updated results, the app's size compressed, first load; and the README's screenshots.
web-bench: web
	@node web/tests/bench.mjs $(WEB)

clean:
	@rm -rf build
