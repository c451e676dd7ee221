# The README's commands. Each installs what is missing first. Paths are quoted: the folder's own
# path may hold a space.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test bench build deps clean fuzz

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: build
	cd build/game && ./quovel-mahjong

# The whole suite twice, a normal build and a sanitizer build, then the threaded tests and the
# game quitting after a few frames under ThreadSanitizer (only those two programs are built
# there). Warnings are errors here. The sanitizer builds take their media from the normal build.
# The normal build carries line tables only (full debug information is a quarter of its compile
# time); the setting stays in build/ for a later `make run`. The benches are built there too, so
# that they keep compiling.
test: CMAKE_FLAGS += -DQUOVEL_WERROR=ON
test: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DQUOVEL_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)
	ctest --test-dir build --output-on-failure -j $(JOBS)
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUOVEL_SANITIZE=ON \
	    -DQUOVEL_MEDIA_FROM="$(CURDIR)/build" $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir build-asan --output-on-failure -j $(JOBS)
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUOVEL_TSAN=ON \
	    -DQUOVEL_MEDIA_FROM="$(CURDIR)/build" $(CMAKE_FLAGS)
	cmake --build build-tsan -j $(JOBS) --target tsan-tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	    ctest --test-dir build-tsan --output-on-failure -j $(JOBS) -L tsan

# Built as `make run` ships the game: the same optimisation, no machine-specific flags.
bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOVEL_TESTS=OFF \
	    -DQUOVEL_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	build-bench/bench/quovel-bench
	build-bench/bench/quovel-startup-bench

# Fuzzes every reader with libFuzzer under AddressSanitizer and UBSan: FUZZ_TIME seconds per
# target, or FUZZ_RUNS executions when set; FUZZ_TARGETS names some targets (all by default).
FUZZ_TIME ?= 60
FUZZ_RUNS ?=
FUZZ_JOBS ?= 3
FUZZ_TARGETS ?=
fuzz: deps
	@scripts/install-fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DQUOVEL_TESTS=OFF -DQUOVEL_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS) --target fuzz-targets
	scripts/run-fuzz build-fuzz $(if $(FUZZ_RUNS),--runs $(FUZZ_RUNS),--time $(FUZZ_TIME)) \
	    --jobs $(FUZZ_JOBS) $(FUZZ_TARGETS)

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz
