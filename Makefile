# The two commands of the README, plus the benchmarks and the measurements.
#   make run    installs what is missing, builds the program and starts it
#   make test   installs what is missing, builds and runs every test, then the unit tests again
#               under AddressSanitizer + UndefinedBehaviorSanitizer (built with clang)
#   make measure   CPU use, timer firings and presents of the running program under Xvfb, then
#                  ticks, presents, CPU and resident memory over a minute after a seeding, then
#                  ticks and CPU with the window at 626 x 549, 3840 x 2160 and 7680 x 4320
#   make measure-sizes   the last part of make measure alone
#   make screenshot   a picture of the running program's window in docs/screenshot.png

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
SANITIZE := build/sanitize
BENCH := build/bench
FUZZ := build/fuzz
FUZZ_SECONDS ?= 600

.PHONY: run test bench fuzz measure measure-sizes screenshot clean

run:
	scripts/install-deps.sh run
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGRAVITY_TESTS=OFF
	cmake --build $(RELEASE) -j $(JOBS) --target gravity
	$(RELEASE)/gravity

test:
	scripts/install-deps.sh test
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGRAVITY_TESTS=ON
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

measure-sizes: export MEASURE_ONLY = sizes
measure-sizes: measure

# Takes the picture under Xvfb, a few seconds after a new universe starts; each run differs.
screenshot:
	scripts/install-deps.sh measure
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGRAVITY_TESTS=OFF
	cmake --build $(RELEASE) -j $(JOBS) --target gravity
	scripts/screenshot.sh docs/screenshot.png $(RELEASE)/gravity

clean:
	rm -rf build
