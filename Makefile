# Front door of the build. `make` builds, `make demo` runs the station on a
# simulated night, `make test` installs what is missing,
# builds a release and a sanitizer configuration and runs every test in both,
# `make bench` builds and runs the benchmarks.
BUILD     ?= build
SAN_BUILD ?= build-asan
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all build deps demo test test-release test-sanitize bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The whole station on a simulated night: detection, processing, exports,
# and a table of computed against true meteor positions.
demo: deps build
	$(BUILD)/app/orbisight-cli demo

test: deps test-release test-sanitize

test-release:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DORBIS_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORBIS_WERROR=ON -DORBIS_SANITIZE=ON -DORBIS_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
