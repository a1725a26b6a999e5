# Thin front over CMake. `make run` starts the program in run/, `make test`
# builds and runs every test, `make unit-test` only the unit tests (seconds,
# without the programs), `make sanitize` runs the C++ tests again with the
# programs and the tests built under AddressSanitizer and UBSan, `make fuzz`
# builds the fuzz targets with clang and runs each for FUZZ_SECONDS, FUZZ_JOBS
# at a time (tools/run-fuzz.sh; `make fuzz-long` for FUZZ_LONG_SECONDS),
# `make bench` builds and runs the benchmarks. `make ci-deps` installs, in
# one go, the packages of every target that CI runs.
# `make web` writes the checking page, build-web/lotrano.html, from web/;
# `make web-test` runs its draw's tests under Node and its browser tests in
# Debian's chromium against the Linux build.
# `make windows` cross-builds lotrano.exe and lotrano-verify.exe;
# `make windows-test` runs them under Wine against the Linux build.
# `make install` / `make uninstall` (PREFIX, DESTDIR), `make deb` (the Debian
# package), `make windows-zip` (the Windows zip); `make package-test` and
# `make windows-zip-test` install and run what they hold.
BUILD ?= build
BENCH_BUILD ?= build-bench
SANITIZE_BUILD ?= build-asan
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
# The sanitizer build is clang's, with the fuzz targets in it: `make
# sanitize` and `make fuzz` share it (unoptimised, which builds fastest);
# `make fuzz-long` has an optimised one of its own.
SANITIZE_OPTIMIZATION ?= -O0
FUZZ_BUILD ?= $(SANITIZE_BUILD)
FUZZ_LONG_BUILD ?= build-fuzz-long
FUZZ_SECONDS ?= 60
FUZZ_LONG_SECONDS ?= 1800
# Fuzz targets run at the same time (each takes one core).
FUZZ_JOBS ?= 1
WINDOWS_BUILD ?= build-windows
# The Linux build that the Wine tests compare with (and that holds them).
WINDOWS_TEST_BUILD ?= $(BUILD)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# ON in CI: every warning stops the build. Unset, a build keeps the setting it
# was configured with (OFF for a new one), so that switching targets never
# rebuilds everything for a changed flag.
WERROR ?=
WERROR_SETTING = $(if $(WERROR),-DLOTRANO_WERROR=$(WERROR))
# Each set of Debian packages is checked once; the stamp in .deps/ spares the
# package manager on every later build (`make clean` forgets them).
DEPS = .deps
# The release build, without tests, of both `make install` and `make deb`:
# one tree (tools/configure-release.sh), which each configures for its own
# prefix; only the installed texts name it, so nothing is compiled twice.
DEB_BUILD ?= build-deb
RELEASE_BUILD ?= $(DEB_BUILD)
PREFIX ?= /usr/local
VERSION := $(shell sed -n 's/^project.lotrano VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB_FILE = $(DEB_BUILD)/lotrano_$(VERSION)_$(shell dpkg --print-architecture 2>/dev/null || echo amd64).deb
WINDOWS_ZIP = $(WINDOWS_BUILD)/lotrano-$(VERSION)-win64.zip
# Sub-makes (cmake's among them) do not announce their folders.
MAKEFLAGS += --no-print-directory

.PHONY: all deps test-deps configure build run test unit-test format sanitize bench fuzz \
  fuzz-long ci-deps clean

all: build

# A stamp older than this file is checked again: a package added to a list
# below is installed on a machine that has the stamp already.
$(DEPS)/%.ok: Makefile
	@mkdir -p $(DEPS)
	@tools/ensure-deps.sh $(PACKAGES_$*)
	@touch $@

PACKAGES_build = cmake g++ make libgtest-dev python3
# What `make test` adds: the completion's bash, and groff and man with the
# Romanian locale for the manual pages.
PACKAGES_test = bash-completion groff man-db locales
PACKAGES_format = clang-format-14
PACKAGES_gui = xvfb xauth zenity xdotool imagemagick
PACKAGES_bench = cmake g++ make libgtest-dev libbenchmark-dev
PACKAGES_fuzz = cmake make clang libclang-rt-14-dev
PACKAGES_windows = cmake make g++-mingw-w64-x86-64 python3
PACKAGES_wine = wine wine64 xvfb xauth xdotool xclip imagemagick locales unzip python3
PACKAGES_deb = cmake g++ make dpkg-dev file python3
PACKAGES_package = lintian dpkg-dev man-db desktop-file-utils bash-completion binutils
PACKAGES_web = python3 nodejs chromium chromium-driver python3-selenium poppler-utils firefox-esr

deps: $(DEPS)/build.ok

# What `make format`, `make test`, `make sanitize` and `make fuzz` need: a
# few small packages beyond those of every machine of this kind.
test-deps: $(DEPS)/build.ok $(DEPS)/test.ok $(DEPS)/ro-locale.ok $(DEPS)/format.ok $(DEPS)/fuzz.ok

# The packages of every target that CI runs (or of the CI_PACKAGE_SETS
# given), installed in one go (one download, one run of each package's
# triggers), and the Romanian locale.
CI_PACKAGE_SETS = build test format gui fuzz windows wine deb package web
ci-deps:
	@mkdir -p $(DEPS)
	@tools/ensure-deps.sh $(sort $(foreach set,$(CI_PACKAGE_SETS),$(PACKAGES_$(set))))
	@cd $(DEPS) && touch $(foreach set,$(CI_PACKAGE_SETS),$(set).ok)
	@$(MAKE) $(DEPS)/ro-locale.ok

# One configuration or build of a tree at a time: CI's lanes may ask for the
# same one at once.
configure: deps
	@mkdir -p $(BUILD)
	flock $(BUILD)/.build-lock \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR_SETTING) >/dev/null

build: configure
	flock $(BUILD)/.build-lock cmake --build $(BUILD) -j $(JOBS)

# Only the program shows: the build speaks only when it fails.
run: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target lotrano >$(BUILD)/run-build.log 2>&1 || \
	  { cat $(BUILD)/run-build.log; exit 1; }
	@mkdir -p run/Dat
	@[ -e run/Dat/grupa_311.dat ] || cp samples/grupa_311.dat run/Dat/
	@cd run && ../$(BUILD)/lotrano

# The desktop dialog tests, under Xvfb: zenity's windows driven with xdotool,
# a screenshot of each left in $(BUILD)/screenshots/.
.PHONY: gui-test
gui-test: build $(DEPS)/gui.ok
	xvfb-run -a -s "-screen 0 1280x1024x24" tests/session/desktop_tests.sh $(BUILD)

test: build $(DEPS)/test.ok $(DEPS)/ro-locale.ok
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The unit tests alone: one executable, no program built or run.
unit-test: configure
	cmake --build $(BUILD) -j $(JOBS) --target lotrano_unit_tests
	$(BUILD)/lotrano_unit_tests --gtest_brief=1

# The layout of every C++ file, as clang-format 14 sets it out.
format: $(DEPS)/format.ok
	tools/check-format.sh clang-format-14

# Any report of either sanitizer, in a test or in the binary that the
# session tests run, fails the run. Only the C++ tests run here: the scripts
# of `make test` (documents, texts, the re-checker) add nothing that a
# sanitizer would see.
# The two comparisons with the literal repeat scan on large batches are left
# out: under the sanitizers they would run the literal scan for minutes, and
# the fast draw's full batches are run by the other tests.
.PHONY: sanitize-configure
sanitize-configure: $(DEPS)/build.ok $(DEPS)/fuzz.ok
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  $(WERROR_SETTING) -DLOTRANO_FUZZ=ON \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_OPTIMIZATION) $(SANITIZE_FLAGS)" >/dev/null

sanitize: sanitize-configure
	cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target lotrano_unit_tests lotrano_session_tests
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS) -L 'unit|session' \
	  -E 'AgreesWithLiteralScanOn(RandomCases|LargeFullBatches)'

bench: $(DEPS)/bench.ok
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DLOTRANO_BENCH=ON -DLOTRANO_TESTS=OFF >/dev/null
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target lotrano_bench
	$(BENCH_BUILD)/lotrano_bench

fuzz: $(DEPS)/fuzz.ok
	$(MAKE) sanitize-configure SANITIZE_BUILD=$(FUZZ_BUILD)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target lotrano_fuzz
	tools/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_JOBS)

# The same targets, optimised, each for FUZZ_LONG_SECONDS (half an hour by
# default): for a change to a reader, or before a release. CI runs the
# short `fuzz`.
fuzz-long:
	$(MAKE) fuzz FUZZ_BUILD=$(FUZZ_LONG_BUILD) SANITIZE_OPTIMIZATION=-O2 \
	  FUZZ_SECONDS=$(FUZZ_LONG_SECONDS)

.PHONY: web web-test

WEB_BUILD ?= build-web
WEB_SOURCES = $(wildcard web/*)

web: $(WEB_BUILD)/lotrano.html

$(WEB_BUILD)/lotrano.html: $(WEB_SOURCES) tools/build-web.py
	python3 tools/build-web.py $@

# The page's modules run under Node: their own tests, then the differential
# run against lotrano-verify on WEB_MUTATIONS seeded mutations of files the
# Linux build writes (WEB_SEED picks another set). The browser tests run
# Debian's python3 (where python3-selenium lives); the screenshots and the
# printed page they take stay in $(WEB_BUILD)/ for people to look at.
WEB_MUTATIONS ?= 3000
WEB_SEED ?= 27
web-test: build $(DEPS)/web.ok
	$(MAKE) web
	node --test $(wildcard tests/web/*.test.js)
	node tests/web/differential.js $(BUILD) --mutations $(WEB_MUTATIONS) --seed $(WEB_SEED)
	/usr/bin/python3 tests/web/browser_test.py $(BUILD) $(WEB_BUILD)/lotrano.html $(WEB_BUILD)

.PHONY: windows windows-test

windows: $(DEPS)/windows.ok
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DLOTRANO_TESTS=OFF $(WERROR_SETTING) >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target lotrano lotrano-verify
	@echo "Windows programs: $(WINDOWS_BUILD)/lotrano.exe $(WINDOWS_BUILD)/lotrano-verify.exe"

# The Romanian locale that the Wine tests run Wine in, beside the default one,
# and that the manual pages' test reads them in with man.
$(DEPS)/ro-locale.ok: $(DEPS)/build.ok
	@tools/ensure-locale.sh ro_RO.UTF-8
	@touch $@

# The one Wine prefix of every Wine test (windows-test and
# windows-zip-test), beside the Linux build, made once.
WINE_PREFIX = $(abspath $(WINDOWS_TEST_BUILD))/wineprefix
.PHONY: wine-prefix
wine-prefix: $(DEPS)/wine.ok
	tools/make-wine-prefix.sh $(WINE_PREFIX)

# The Wine prefix is made while the Windows programs compile.
windows-test: $(DEPS)/build.ok $(DEPS)/wine.ok $(DEPS)/ro-locale.ok
	$(MAKE) -j2 wine-prefix windows
	$(MAKE) build BUILD=$(WINDOWS_TEST_BUILD)
	LOTRANO_WINDOWS_EXE="$(CURDIR)/$(WINDOWS_BUILD)/lotrano.exe" \
	  LOTRANO_WINDOWS_VERIFY_EXE="$(CURDIR)/$(WINDOWS_BUILD)/lotrano-verify.exe" LOTRANO_REQUIRE_WINE=1 \
	  tests/session/wine_tests.sh $(WINDOWS_TEST_BUILD)

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(FUZZ_LONG_BUILD) \
	  $(WINDOWS_BUILD) $(RELEASE_BUILD) $(DEB_BUILD) $(WEB_BUILD) $(DEPS)

.PHONY: install uninstall deb windows-zip package-test windows-zip-test

# Both programs, their manual pages (English in share/man/man1, Romanian in
# share/man/ro/man1), the desktop entry and its icon, the bash completion and
# the documentation under PREFIX (/usr/local by default), below DESTDIR when
# it is set.
install: $(DEPS)/build.ok
	tools/configure-release.sh $(RELEASE_BUILD) $(PREFIX)
	cmake --build $(RELEASE_BUILD) -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_BUILD)

# Removes every file that the last `make install` wrote (give it the same
# DESTDIR).
uninstall:
	DESTDIR="$(DESTDIR)" cmake --build $(RELEASE_BUILD) --target uninstall

# The Debian package, built with Debian's hardening flags and stripped.
deb: $(DEPS)/deb.ok
	tools/configure-release.sh $(DEB_BUILD) /usr
	cmake --build $(DEB_BUILD) -j $(JOBS)
	rm -f $(DEB_FILE)
	cd $(DEB_BUILD) && cpack -G DEB >/dev/null
	@echo "Debian package: $(DEB_FILE)"

# The Windows zip: both programs, the guide, the README, the licence and the
# sample group file, from the cross build.
windows-zip: $(DEPS)/windows.ok
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DLOTRANO_TESTS=OFF $(WERROR_SETTING) >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	python3 tools/windows-zip.py $(WINDOWS_BUILD) $(WINDOWS_ZIP)

# Builds the package, checks it with lintian, installs it, runs what it holds
# and removes it again (as root: it installs into the system); the Romanian
# locale is the one its Romanian manual pages are read in.
package-test: $(DEPS)/package.ok $(DEPS)/ro-locale.ok
	$(MAKE) deb
	tests/packaging/package_test.sh $(DEB_FILE)

# Builds the zip, checks its files, unpacks it and runs the programs in it
# under Wine, the group dialog answered through xdotool on Xvfb.
windows-zip-test: $(DEPS)/wine.ok wine-prefix
	$(MAKE) windows-zip
	LOTRANO_WINEPREFIX="$(WINE_PREFIX)" \
	  xvfb-run -a tests/packaging/windows_zip_test.sh $(WINDOWS_ZIP)
