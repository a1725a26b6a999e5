# Thin front over CMake. `make run` starts the program in run/, `make test`
# builds and runs every test, `make bench` builds and runs the benchmarks.
# `make windows` cross-builds lotrano.exe; `make windows-test` runs it under
# Wine against the Linux build.
BUILD ?= build
BENCH_BUILD ?= build-bench
WINDOWS_BUILD ?= build-windows
# The Linux build that the Wine tests compare with (and that holds them).
WINDOWS_TEST_BUILD ?= $(BUILD)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@tools/ensure-deps.sh cmake g++ make libgtest-dev

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: configure
	cmake --build $(BUILD) -j $(JOBS) --target lotrano
	@mkdir -p run/Dat
	@[ -e run/Dat/grupa_311.dat ] || cp samples/grupa_311.dat run/Dat/
	cd run && ../$(BUILD)/lotrano

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench:
	@tools/ensure-deps.sh cmake g++ make libgtest-dev libbenchmark-dev
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DLOTRANO_BENCH=ON -DLOTRANO_TESTS=OFF >/dev/null
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target lotrano_bench
	$(BENCH_BUILD)/lotrano_bench

.PHONY: windows windows-test

windows:
	@tools/ensure-deps.sh cmake make g++-mingw-w64-x86-64
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DLOTRANO_TESTS=OFF >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target lotrano
	@echo "Windows program: $(WINDOWS_BUILD)/lotrano.exe"

# The Wine tests run in one process, so that Wine's prefix is made once.
windows-test:
	@tools/ensure-deps.sh cmake g++ make libgtest-dev wine wine64 xvfb xdotool imagemagick
	$(MAKE) windows
	$(MAKE) build BUILD=$(WINDOWS_TEST_BUILD)
	LOTRANO_WINDOWS_EXE="$(CURDIR)/$(WINDOWS_BUILD)/lotrano.exe" LOTRANO_REQUIRE_WINE=1 \
	  xvfb-run -a $(WINDOWS_TEST_BUILD)/lotrano_tests --gtest_filter='WineSession.*'

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)
