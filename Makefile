# The two commands of the README, plus the benchmarks and the measurements.
#   make run    installs what is missing, builds the program and starts it
#   make test   installs what is missing, builds and runs every test, then the unit tests again
#               under AddressSanitizer + UndefinedBehaviorSanitizer (built with clang)
#   make measure   CPU use, timer firings and presents of the running program under Xvfb, then
#                  ticks, presents, CPU and resident memory over a minute after a seeding
#   make screenshot   a picture of the running program's window in docs/screenshot.png
#   make web       the page that plays it in a browser, in build/web (index.html, .js, .wasm)
#   make web-run   builds the page and serves it on localhost
#   make web-screenshot   a picture of the page in headless Chromium in docs/browser.png
#   make web-measure   ticks per second and the page's CPU use in headless Chromium

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
SANITIZE := build/sanitize
BENCH := build/bench
FUZZ := build/fuzz
FUZZ_SECONDS ?= 600
WEB := build/web
WEB_BUILD := build/web-cmake
WEB_PORT ?= 8000
# Debian's emscripten finds its JavaScript modules there whichever Node.js runs it.
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs

.PHONY: run test bench fuzz measure screenshot web web-run web-screenshot web-measure browser-deps clean

run:
	scripts/install-deps.sh run
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGRAVITY_TESTS=OFF
	cmake --build $(RELEASE) -j $(JOBS) --target gravity
	$(RELEASE)/gravity

test: web browser-deps
	scripts/install-deps.sh test
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGRAVITY_TESTS=ON
	cmake $(RELEASE) -DGRAVITY_WEB_SITE=$(CURDIR)/$(WEB) -DGRAVITY_WEB_BUILD=$(CURDIR)/$(WEB_BUILD)
	cmake --build $(RELEASE) -j $(JOBS)
	ctest --test-dir $(RELEASE) --output-on-failure
	CXX=clang++ cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=Debug -DGRAVITY_SANITIZE=ON
	cmake --build $(SANITIZE) -j $(JOBS)
	ctest --test-dir $(SANITIZE) -L unit --output-on-failure

bench:
	scripts/install-deps.sh bench
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DGRAVITY_TESTS=OFF -DGRAVITY_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS) --target gravity_bench
	$(BENCH)/gravity_bench

# Fuzzes the event handlers for FUZZ_SECONDS. New inputs collect in build/fuzz/corpus; a finding is
# written to build/fuzz/ and belongs in fuzz/corpus once fixed.
fuzz:
	scripts/install-deps.sh fuzz
	CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRAVITY_TESTS=OFF -DGRAVITY_FUZZ=ON
	cmake --build $(FUZZ) -j $(JOBS) --target event_script_fuzz
	mkdir -p $(FUZZ)/corpus
	$(FUZZ)/event_script_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -artifact_prefix=$(FUZZ)/ \
		$(FUZZ)/corpus fuzz/corpus

MEASURE_SECONDS ?= 10

measure:
	scripts/install-deps.sh measure
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGRAVITY_TESTS=OFF
	cmake --build $(RELEASE) -j $(JOBS) --target gravity_stats
	scripts/measure.sh $(MEASURE_SECONDS) $(RELEASE)/gravity_stats

# Takes the picture under Xvfb, a few seconds after a new universe starts; each run differs.
screenshot:
	scripts/install-deps.sh measure
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGRAVITY_TESTS=OFF
	cmake --build $(RELEASE) -j $(JOBS) --target gravity
	scripts/screenshot.sh docs/screenshot.png $(RELEASE)/gravity

# The page: the same core and the browser window layer, built by Debian's emscripten. Nothing in
# it is fetched from anywhere but the folder it is served from.
web:
	scripts/install-deps.sh web
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release \
		-DGRAVITY_WEB_OUTPUT=$(CURDIR)/$(WEB)
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)

web-run: web
	@echo "The page is at http://localhost:$(WEB_PORT)/ (Ctrl+C stops serving it)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(WEB)

# The browser tests' driver, exactly as pinned in tests/browser/package-lock.json.
browser-deps:
	scripts/install-deps.sh web
	npm ci --prefix tests/browser --no-audit --no-fund

web-screenshot: web browser-deps
	node tests/browser/page_test.js $(WEB) first_click docs/browser.png

web-measure: web browser-deps
	node tests/browser/measure.js $(WEB) $(MEASURE_SECONDS)
	ls -l $(WEB)

clean:
	rm -rf build
