# The two commands of the README, plus packaging, the benchmarks and the measurements.
#   make           installs what is missing and builds the program (build/release/gravity)
#   make run       installs what is missing, builds the program and starts it
#   make test      installs what is missing, builds and runs every test, the packaging ones
#                  included, then the unit tests again under AddressSanitizer +
#                  UndefinedBehaviorSanitizer (built with clang)
#   make check     the edit-and-test loop: the release build's unit tests alone, and clang-tidy on
#                  the core, each file checked again only when it changed
#   make package   the Debian package, build/release/gravity_<version>_<arch>.deb
#   make measure   CPU use, timer firings and presents of the running program under Xvfb, then
#                  ticks, presents, CPU and resident memory over a minute after a seeding, then
#                  ticks and CPU with the window at 626 x 549, 3840 x 2160 and 7680 x 4320, then
#                  the ticks of every second through resizes
#   make measure-sizes   the window sizes' part of make measure alone
#   make measure-resizes   ticks of every second while the window is resized to 7680 x 4320 and
#                  back and then 200 times in 2 s (the last part of make measure)
#   make measure-wakes   how often the running program wakes up a second, and its CPU use
#   make screenshot   a picture of the running program's window in docs/screenshot.png
#   make animation    a few seconds of a running universe in docs/universe.gif
#   make icons     the PNG icons and the window icon's pixels, from the SVG icon
#   make web       the page that plays it in a browser, in build/web (index.html, .js, .wasm), and
#                  zipped in build/web-cmake/gravity-<version>-web.zip
#   make web-run   builds the page and serves it on localhost
#   make web-screenshot   pictures of the page in headless Chromium, on a desktop in
#                  docs/browser.png and on a phone in docs/phone.png
#   make web-measure   ticks per second and the page's CPU use in headless Chromium, on a
#                  desktop screen (also at 4x, 6x and 8x CPU throttling), a dense one and a phone
#   make windows   the Windows program, cross-built with mingw-w64, in build/windows: gravity.exe,
#                  gravity-<version>-windows-x64.zip and the installer gravity-<version>-windows-x64-setup.exe
#   make windows-measure   make measure for the Windows program, under Wine in Xvfb
#   make arm64     the desktop program cross-built for 64-bit Arm Linux, and its Debian package
#                  build/arm64/gravity_<version>_arm64.deb
#   make arm64-test   the arm64 build's tests, under qemu on any other machine
#   make release   every download of a release, built afresh from a committed tree, with their
#                  checksums, in build/dist: the source tarball, the Debian package (and on x86-64
#                  the arm64 one), the Windows zip and installer, the page's zip and SHA256SUMS
#   make dist      the same from the build folders as they stand (make test tests these downloads)
# Each target installs the Debian packages it needs, and only those that are missing, before
# anything else runs (scripts/install-deps.sh lists them by target); NO_DEPS=1 leaves that out.
# Each build folder has one configuration, which no other target changes, so `make -j` is safe.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
TESTS := build/test
SANITIZE := build/sanitize
TIDY := build/tidy
BENCH := build/bench
FUZZ := build/fuzz
FUZZ_SECONDS ?= 600
WEB := build/web
WEB_BUILD := build/web-cmake
WEB_PORT ?= 8000
WINDOWS := build/windows
WINDOWS_BUILD := build/windows-cmake
ARM64 := build/arm64
ARM64_BUILD := build/arm64-cmake
ARM64_TESTS := build/arm64-test
# Debian's name for this machine's processor (amd64, arm64).
NATIVE_ARCH := $(shell dpkg --print-architecture 2>/dev/null || uname -m)
# Debian's emscripten finds its JavaScript modules there whichever Node.js runs it.
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs
DIST := build/dist
# The page's zip unpacked, as the browser tests serve it.
RELEASED_WEB := build/released-web

# Every time stamp a build writes (in the package, the zips, the installer) is the time of the
# commit it is built from, so that the same commit builds the same bytes at any time.
ifndef SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH := $(shell scripts/source-date-epoch.sh)
endif
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

# The version, from the project() line of CMakeLists.txt, and the downloads of a release besides
# the source tarball: this machine's package, the Windows zip and installer, the page's zip and, on
# x86-64, the arm64 package cross-built.
VERSION := $(shell sed -n 's/^project.gravity VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DOWNLOADS := $(RELEASE)/gravity_$(VERSION)_$(NATIVE_ARCH).deb \
	$(WINDOWS)/gravity-$(VERSION)-windows-x64.zip $(WINDOWS)/gravity-$(VERSION)-windows-x64-setup.exe \
	$(WEB_BUILD)/gravity-$(VERSION)-web.zip
ifeq ($(NATIVE_ARCH),amd64)
DIST_ARM64 := arm64
DOWNLOADS += $(ARM64)/gravity_$(VERSION)_arm64.deb
endif

# The packages of every target asked for are installed first, before any prerequisite of any of
# them runs (under make -j too); not for a dry run (make -n) nor a make that another one started.
GOALS := $(or $(MAKECMDGOALS),build)
ifneq ($(NO_DEPS),1)
ifeq ($(MAKELEVEL),0)
ifeq ($(findstring n,$(firstword -$(MAKEFLAGS))),)
ifneq ($(shell scripts/install-deps.sh $(GOALS) >&2 && echo ok),ok)
$(error scripts/install-deps.sh could not install what $(GOALS) needs)
endif
endif
endif
endif

# The Windows tests need 64-bit Wine, which runs Windows' x86-64 programs only on an x86-64
# machine: elsewhere they are left out, and said so. On an arm64 machine this build is the arm64
# one, so its own tests are the arm64 tests.
ifeq ($(NATIVE_ARCH),amd64)
TEST_WINDOWS := $(CURDIR)/$(WINDOWS)
TEST_ARM64 := arm64-test
endif

# Warnings are errors here and in CI; plain CMake leaves that to whoever builds. The program's
# folder, build/release, has no tests; the tests have build/test, with the downloads in build/dist
# to test; the arm64 package and the arm64 tests have a folder each too.
CONFIGURE := cmake -S . -DGRAVITY_WERROR=ON
CONFIGURE_RELEASE := $(CONFIGURE) -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
CONFIGURE_TESTS := $(CONFIGURE) -B $(TESTS) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
	-DGRAVITY_WEB_SITE=$(CURDIR)/$(RELEASED_WEB) -DGRAVITY_WEB_BUILD=$(CURDIR)/$(WEB_BUILD) \
	-DGRAVITY_WINDOWS_BUILD=$(TEST_WINDOWS) -DGRAVITY_RELEASE_DIR=$(CURDIR)/$(DIST)
ARM64_TOOLCHAIN := -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/aarch64-linux-gnu.cmake
CONFIGURE_ARM64 := $(CONFIGURE) -B $(ARM64_BUILD) $(ARM64_TOOLCHAIN) -DBUILD_TESTING=OFF
CONFIGURE_ARM64_TESTS := $(CONFIGURE) -B $(ARM64_TESTS) $(ARM64_TOOLCHAIN) -DBUILD_TESTING=ON \
	-DGRAVITY_REFERENCE_BUILD=$(CURDIR)/$(TESTS)
CONFIGURE_SANITIZE := CXX=clang++ $(CONFIGURE) -B $(SANITIZE) -DCMAKE_BUILD_TYPE=Debug -DGRAVITY_SANITIZE=ON

.PHONY: build run test tests sanitize check package bench fuzz measure measure-wakes screenshot animation icons web \
	web-run web-screenshot web-measure browser-deps measure-sizes measure-resizes windows \
	windows-measure arm64 arm64-test release dist clean

build:
	$(CONFIGURE_RELEASE)
	cmake --build $(RELEASE) -j $(JOBS) --target gravity

run: build
	$(RELEASE)/gravity

# Every test must run: a window, packaging, browser, Windows or arm64 test that would skip for want
# of a tool fails. The package, the Windows program and the page tested are the downloads in
# build/dist. Two tests run at a time, as the sanitizer build's unit tests do.
test: dist browser-deps tests sanitize $(TEST_ARM64)
	$(if $(TEST_WINDOWS),,@echo "make test: the Windows tests are left out, since they need x86-64 Wine and this machine is $(NATIVE_ARCH)")
	rm -rf $(RELEASED_WEB) && mkdir -p $(RELEASED_WEB)
	cd $(RELEASED_WEB) && cmake -E tar xf $(CURDIR)/$(DIST)/gravity-$(VERSION)-web.zip
	GRAVITY_REQUIRE_ALL_TESTS=1 ctest --test-dir $(TESTS) -j $(JOBS) --output-on-failure
	GRAVITY_REQUIRE_ALL_TESTS=1 ctest --test-dir $(SANITIZE) -L unit -j $(JOBS) --output-on-failure

# The test folder, built: the unit tests and the programs the other tests drive.
tests:
	$(CONFIGURE_TESTS)
	cmake --build $(TESTS) -j $(JOBS)

# The unit tests built by clang with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(CONFIGURE_SANITIZE)
	cmake --build $(SANITIZE) -j $(JOBS)

# Quick enough to run after every edit once the trees are built: no window, browser, packaging or
# Windows test, no sanitizer build.
check:
	$(CONFIGURE) -B $(TIDY) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DGRAVITY_TIDY=ON >/dev/null
	cmake --build $(TIDY) -j $(JOBS) --target tidy
	$(CONFIGURE_TESTS) >/dev/null
	cmake --build $(TESTS) -j $(JOBS)
	ctest --test-dir $(TESTS) -L unit -j $(JOBS) --output-on-failure

# The package's folders and members take their modes from the umask: 022 gives the usual ones,
# whoever builds.
package:
	$(CONFIGURE_RELEASE)
	cmake --build $(RELEASE) -j $(JOBS)
	cd $(RELEASE) && umask 022 && cpack -G DEB

bench:
	$(CONFIGURE) -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DGRAVITY_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS) --target gravity_bench
	$(BENCH)/gravity_bench

# Fuzzes the event handlers for FUZZ_SECONDS. New inputs collect in build/fuzz/corpus; a finding is
# written to build/fuzz/ and belongs in fuzz/corpus once fixed.
fuzz:
	CXX=clang++ $(CONFIGURE) -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DGRAVITY_FUZZ=ON
	cmake --build $(FUZZ) -j $(JOBS) --target event_script_fuzz
	mkdir -p $(FUZZ)/corpus
	$(FUZZ)/event_script_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -artifact_prefix=$(FUZZ)/ \
		$(FUZZ)/corpus fuzz/corpus

MEASURE_SECONDS ?= 10

measure:
	$(CONFIGURE_RELEASE)
	cmake --build $(RELEASE) -j $(JOBS) --target gravity_stats
	scripts/measure.sh $(MEASURE_SECONDS) $(RELEASE)/gravity_stats

# How often the program wakes and what that costs while a universe runs; give WAKES_PROGRAMS to
# compare programs in one run.
WAKES_PROGRAMS ?= $(RELEASE)/gravity
measure-wakes: build
	scripts/measure-wakes.sh 20 $(WAKES_PROGRAMS)

measure-sizes: export MEASURE_ONLY = sizes
measure-sizes: measure

measure-resizes: export MEASURE_ONLY = resizes
measure-resizes: measure

# Takes the picture under Xvfb, a few seconds after a new universe starts; each run differs.
screenshot: build
	scripts/screenshot.sh docs/screenshot.png $(RELEASE)/gravity

# Captures the window under Xvfb for a few seconds after a new universe starts; each run differs.
animation: build
	scripts/animation.sh docs/universe.gif $(RELEASE)/gravity

icons:
	scripts/icons.sh

# The page: the same core and the browser window layer, built by Debian's emscripten. Nothing in
# it is fetched from anywhere but the folder it is served from.
web:
	$(EMSCRIPTEN_ENV) emcmake $(CONFIGURE) -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release \
		-DGRAVITY_WEB_OUTPUT=$(CURDIR)/$(WEB)
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD) --target web_zip

web-run: web
	@echo "The page is at http://localhost:$(WEB_PORT)/ (Ctrl+C stops serving it)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(WEB)

# The browser tests' driver, exactly as pinned in tests/browser/package-lock.json; installed again
# only when the lock file changes.
BROWSER_DEPS := tests/browser/node_modules/.package-lock.json
browser-deps: $(BROWSER_DEPS)
$(BROWSER_DEPS): tests/browser/package-lock.json
	npm ci --prefix tests/browser --no-audit --no-fund
	touch $@

web-screenshot: web browser-deps
	node tests/browser/page_test.js $(WEB) chromium desktop first_click docs/browser.png
	node tests/browser/page_test.js $(WEB) chromium phone first_click docs/phone.png

# The desktop screen also at each rate of CPU throttling in WEB_THROTTLE, DevTools' stand-in for a
# slow phone.
WEB_THROTTLE ?= 1,4,6,8
web-measure: web browser-deps
	for screen in desktop dense phone; do \
		rates=1; [ $$screen = desktop ] && rates=$(WEB_THROTTLE); \
		echo "$$screen:"; node tests/browser/measure.js $(WEB) $(MEASURE_SECONDS) $$screen $$rates || exit 1; \
	done
	ls -l $(WEB)

# The Windows program: the same core and the Win32 window layer, cross-compiled by Debian's
# mingw-w64 and statically linked, so gravity.exe needs no DLL beyond Windows' own; the zip and the
# installer (Debian's NSIS) beside it.
windows:
	$(CONFIGURE) -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DGRAVITY_WINDOWS_OUTPUT=$(CURDIR)/$(WINDOWS)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	ls -l $(WINDOWS)

windows-measure: windows
	scripts/measure.sh $(MEASURE_SECONDS) $(WINDOWS)/gravity_stats.exe

# The desktop program for 64-bit Arm Linux (a Raspberry Pi, say), cross-built with Debian's
# crossbuild-essential-arm64 against the arm64 SDL, and its Debian package, which holds the same
# files as this machine's.
arm64:
	$(CONFIGURE_ARM64)
	cmake --build $(ARM64_BUILD) -j $(JOBS)
	cd $(ARM64_BUILD) && rm -f gravity_*.deb && umask 022 && cpack -G DEB
	mkdir -p $(ARM64) && rm -f $(ARM64)/gravity_*_arm64.deb
	cp $(ARM64_BUILD)/gravity_*_arm64.deb $(ARM64)/
	ls -l $(ARM64)

# Its tests, run through qemu's user-mode emulator on any other machine: the unit tests, the core's
# results against this machine's build to the bit, the window, the package and the force law's
# machine code.
arm64-test: arm64 tests
	$(CONFIGURE_ARM64_TESTS)
	cmake --build $(ARM64_TESTS) -j $(JOBS)
	GRAVITY_REQUIRE_ALL_TESTS=1 ctest --test-dir $(ARM64_TESTS) -j $(JOBS) --output-on-failure

# A release is built from its commit alone, in build folders made afresh, with the umask that gives
# the Debian package's folders and members their usual modes.
release:
	@git diff --quiet HEAD 2>/dev/null || [ "$$(git rev-parse --show-toplevel 2>/dev/null)" != "$(CURDIR)" ] || \
		{ echo "make release: commit the changes first; a release is built from a commit" >&2; exit 1; }
	rm -rf $(RELEASE) $(WINDOWS_BUILD) $(WINDOWS) $(WEB_BUILD) $(WEB) $(ARM64_BUILD) $(ARM64) \
		$(DIST)
	umask 022 && $(MAKE) NO_DEPS=1 dist

dist: package windows web $(DIST_ARM64)
	scripts/release.sh $(DIST) $(VERSION) $(DOWNLOADS)

clean:
	rm -rf build
