# SPDX-FileCopyrightText: 2026 The Tavrin developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Front door: `make run` sets up a fresh Debian machine, builds and starts the exercise on the
# starter content; `make test` builds and runs every test.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
BENCH_DIR ?= build-bench
PACKAGE_DIR ?= build-package
# Two jobs at most: the benchmarks share the machine with other builds.
BENCH_JOBS ?= 2
JOBS ?= $(shell nproc)
# Both programs work in the current directory: this is the one `make run` and `make settings` use.
RUN_DIR ?= $(BUILD_DIR)/run
SHELL := /bin/bash
.SHELLFLAGS := -eo pipefail -c

.PHONY: all deps test-deps configure build programs run settings test check check-desktops \
	test-asan fuzz bench \
	package install clean

all: build

# What building and running the programs needs; the tests need more.
deps:
	scripts/install-deps

test-deps:
	scripts/install-deps --tests

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD_DIR)/build.ninja

# Everything, tests included.
build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The two programs alone, for run and settings.
programs: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tavrin tavrinset

run: deps
	$(MAKE) programs
	scripts/seed-folder "$(RUN_DIR)"
	cd "$(RUN_DIR)" && exec "$(abspath $(BUILD_DIR))/exercise/tavrin"

settings: deps
	$(MAKE) programs
	scripts/seed-folder "$(RUN_DIR)"
	cd "$(RUN_DIR)" && exec "$(abspath $(BUILD_DIR))/supervisor/tavrinset"

# Everything CI runs: the sanitizer suite, the fuzzer, then the whole suite on the normal build.
test: test-deps
	$(MAKE) test-asan
	$(MAKE) fuzz
	$(MAKE) check

# Every test; those on GNOME Shell and KDE Plasma run with nothing beside them.
check: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The window checks on GNOME Shell and KDE Plasma alone; `ctest -L gnome` or `-L plasma` runs one
# of them.
check-desktops: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -L full-desktop

# The unit and widget suite once more with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer; any report fails the test that made it.
test-asan:
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS) --label-exclude e2e

# The .deb, built on its own with Debian's build and hardening flags and without the tests.
# A packager names themselves and the homepage with TAVRIN_PACKAGE_MAINTAINER and TAVRIN_HOMEPAGE
# (see the README).
package:
	scripts/install-deps --package
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all && \
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
		"-DCMAKE_CXX_FLAGS=$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
		"-DCMAKE_EXE_LINKER_FLAGS=$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack
	@grep -q 'TAVRIN_PACKAGE_MAINTAINER:STRING=Maintainer not set' $(PACKAGE_DIR)/CMakeCache.txt && \
		echo "Note: the package names no maintainer; set TAVRIN_PACKAGE_MAINTAINER to hand it out." || true

# Installs under /usr/local, or wherever PREFIX names.
install: build
	cmake --install $(BUILD_DIR) $(if $(PREFIX),--prefix $(PREFIX))

# Fuzzes the settings reader, then the picture reader, for FUZZ_SECONDS each with AddressSanitizer
# and UndefinedBehaviorSanitizer. No allocation the picture reader makes may pass 64 MiB: an icon
# needs a fraction of that, whatever its file claims.
fuzz:
	cmake -S tests/libfuzzer -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/corpus-picture
	$(FUZZ_DIR)/fuzz_settings -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
		-print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus tests/libfuzzer/corpus 2>&1 | tail -n 25
	QT_QPA_PLATFORM=offscreen $(FUZZ_DIR)/fuzz_picture -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
		-rss_limit_mb=2048 -malloc_limit_mb=64 -print_final_stats=1 \
		-artifact_prefix=$(FUZZ_DIR)/picture- $(FUZZ_DIR)/corpus-picture tests/libfuzzer/corpus/icons \
		2>&1 | tail -n 25

# Start-up, memory, idle CPU, sound pacing and directory listing against the bare Qt floor, on a
# private X server and sound server; prints the table and writes it to $(BENCH_DIR)/results.md.
# Its own build folder keeps the benchmarks out of make test.
bench: test-deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
		-DTAVRIN_BUILD_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(BENCH_JOBS) --target tavrinbench
	$(BENCH_DIR)/tests/benchmarks/tavrinbench --results $(BENCH_DIR)/results.md

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(BENCH_DIR) $(PACKAGE_DIR)
