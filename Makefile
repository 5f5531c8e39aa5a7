# Front door: `make run` sets up a fresh Debian machine, builds and starts the exercise on the
# starter content; `make test` builds and runs every test.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
BENCH_DIR ?= build-bench
# Two jobs at most: the benchmarks share the machine with other builds.
BENCH_JOBS ?= 2
JOBS ?= $(shell nproc)
# Both programs work in the current directory: this is the one `make run` and `make settings` use.
RUN_DIR ?= $(BUILD_DIR)/run
SHELL := /bin/bash
.SHELLFLAGS := -eo pipefail -c

.PHONY: all deps configure build run settings test check test-asan fuzz bench package install clean

all: build

deps:
	scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: deps
	$(MAKE) build
	scripts/seed-folder "$(RUN_DIR)"
	cd "$(RUN_DIR)" && exec "$(abspath $(BUILD_DIR))/exercise/tavrin"

settings: deps
	$(MAKE) build
	scripts/seed-folder "$(RUN_DIR)"
	cd "$(RUN_DIR)" && exec "$(abspath $(BUILD_DIR))/supervisor/tavrinset"

# Everything CI runs: the sanitizer suite, the fuzzer, then the whole suite on the normal build.
test: deps
	$(MAKE) test-asan
	$(MAKE) fuzz
	$(MAKE) check

check: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The unit and widget suite once more with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer; any report fails the test that made it.
test-asan:
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS) --label-exclude e2e

package: deps
	$(MAKE) build
	cd $(BUILD_DIR) && cpack

# Installs under /usr/local, or wherever PREFIX names.
install: build
	cmake --install $(BUILD_DIR) $(if $(PREFIX),--prefix $(PREFIX))

# Fuzzes the settings reader for FUZZ_SECONDS with AddressSanitizer and UndefinedBehaviorSanitizer.
fuzz:
	cmake -S tests/libfuzzer -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	mkdir -p $(FUZZ_DIR)/corpus
	$(FUZZ_DIR)/fuzz_settings -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
		-print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus tests/libfuzzer/corpus 2>&1 | tail -n 25

# Start-up, memory, idle CPU, sound pacing and directory listing against the bare Qt floor, on a
# private X server and sound server; prints the table and writes it to $(BENCH_DIR)/results.md.
# Its own build folder keeps the benchmarks out of make test.
bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
		-DTAVRIN_BUILD_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(BENCH_JOBS) --target tavrinbench
	$(BENCH_DIR)/tests/benchmarks/tavrinbench --results $(BENCH_DIR)/results.md

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(BENCH_DIR)
