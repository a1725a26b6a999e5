# Thin front over CMake. `make run` starts the program in run/, `make test`
# builds and runs every test, `make bench` builds and runs the benchmarks,
# `make fuzz` builds the fuzz targets with clang and runs each for
# FUZZ_SECONDS (tools/run-fuzz.sh).
BUILD ?= build
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench fuzz clean

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

fuzz:
	@tools/ensure-deps.sh cmake make clang libclang-rt-14-dev
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLOTRANO_FUZZ=ON -DLOTRANO_TESTS=OFF >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target lotrano_fuzz
	tools/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
