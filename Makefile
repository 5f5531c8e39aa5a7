# Front door: `make run` sets up a fresh Debian machine, builds and starts the exercise on the
# starter content; `make test` builds and runs every test.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= $(shell nproc)
# Both programs work in the current directory: this is the one `make run` and `make settings` use.
RUN_DIR ?= $(BUILD_DIR)/run

.PHONY: all deps configure build run settings test test-asan package install clean

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

test: deps
	$(MAKE) build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

package: deps
	$(MAKE) build
	cd $(BUILD_DIR) && cpack

# Installs under /usr/local, or wherever PREFIX names.
install: build
	cmake --install $(BUILD_DIR) $(if $(PREFIX),--prefix $(PREFIX))

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
