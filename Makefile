# Front door of the build. `make` builds, `make demo` runs the station on a
# simulated night, `make test` installs what is missing,
# builds a release and a sanitizer configuration and runs every test in both,
# `make bench` builds and runs the benchmarks, `make fuzz` runs libFuzzer on
# every parser of the station's files.
BUILD     ?= build
SAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz-clang
FUZZ_TIME ?= 60
FUZZ_TARGETS := avi bitmap ini text starlist track eventfiles exports jpeg
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX    ?= /usr/local

.PHONY: all build deps demo test test-release test-sanitize bench fuzz install package clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The whole station on a simulated night: detection, processing, exports,
# and a table of computed against true meteor positions. Only the command
# line is built, so a fresh clone gets there quickly.
demo: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target orbisight-cli
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

# libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer (clang 14),
# FUZZ_TIME seconds per target, starting from the seeds each target writes.
# The corpus grows in $(FUZZ_BUILD)/corpus from run to run; an input that
# fails is kept in $(FUZZ_BUILD)/artifacts and ends the run.
fuzz: deps
	@command -v clang++-14 >/dev/null && ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 \
	  || { echo "make fuzz needs clang-14 and libclang-rt-14-dev (apt-get install clang-14 libclang-rt-14-dev)"; exit 1; }
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 \
	  -DORBIS_LIBFUZZER=ON -DORBIS_BUILD_TESTS=OFF -DORBIS_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	@mkdir -p $(FUZZ_BUILD)/artifacts
	@for t in $(FUZZ_TARGETS); do \
	  $(FUZZ_BUILD)/fuzz/fuzz_$$t --write-seeds $(FUZZ_BUILD)/corpus/$$t >/dev/null && \
	  $(FUZZ_BUILD)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_TIME) -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
	    -dict=$(FUZZ_BUILD)/corpus/$$t.dict -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- $(FUZZ_BUILD)/corpus/$$t \
	    || exit 1; \
	done

# The programs, catalogs, time-stamp plugin, systemd unit and sample settings
# under PREFIX (DESTDIR is honoured for staging). Builds only what is
# installed and leaves the configuration of $(BUILD) as it is.
install: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target orbisight-cli orbisight
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the same files under /usr, in $(BUILD).
package: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target orbisight-cli orbisight
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
