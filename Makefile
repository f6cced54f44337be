# The two commands of the README, plus the benchmarks and the measurements.
#   make run    installs what is missing, builds the program and starts it
#   make test   installs what is missing, builds and runs every test, then the unit tests again
#               under AddressSanitizer + UndefinedBehaviorSanitizer (built with clang)

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
SANITIZE := build/sanitize
BENCH := build/bench

.PHONY: run test bench clean

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

clean:
	rm -rf build
