# The two commands of the README: `make test` and `make run`. Both install missing Debian packages
# first (scripts/install-deps), then configure and build into build/.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
JOBS ?= $(shell nproc)
CTEST_FLAGS ?= --output-on-failure --timeout 300 -j $(JOBS)
# Fuzzing: a clang build of its own. FUZZ_TIME seconds on FUZZ_WORKERS processes; `make test` fuzzes for
# FUZZ_CI_TIME seconds.
FUZZ_DIR ?= build-fuzz
FUZZ_TIME ?= 3600
FUZZ_CI_TIME ?= 120
FUZZ_WORKERS ?= 2
FUZZ_FLAGS ?= -dict=$(CURDIR)/fuzz/jpeg.dict -timeout=10 -rss_limit_mb=2560 -close_fd_mask=2 \
  -ignore_crashes=0 -ignore_timeouts=0 -ignore_ooms=0

# Windows: cross-built with MinGW-w64 against wxWidgets, libjpeg-turbo and GoogleTest built from Debian's
# sources (scripts/build-windows-libs caches them outside the clone), and tested under Wine.
WINDOWS_DIR ?= build-windows

.PHONY: all deps build test test-sanitize fuzz-build fuzz reliability run package screenshot format clean \
  windows test-windows windows-package windows-installer

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The whole suite built with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer (GUI tests
# aside), a short fuzzing run, then the whole suite in the normal build, whose summary ends the output.
test: build
	$(MAKE) --no-print-directory test-sanitize
	$(MAKE) --no-print-directory fuzz FUZZ_TIME=$(FUZZ_CI_TIME)
	ctest --test-dir $(BUILD_DIR) $(CTEST_FLAGS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DPIXMELD_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE_DIR) $(CTEST_FLAGS)

fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPIXMELD_FUZZ=ON -DPIXMELD_BUILD_APP=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target downsize_fuzzer

# libFuzzer on the per-file step, starting from fuzz/seeds and fuzz/regressions. What it learns stays in
# $(FUZZ_DIR)/corpus for the next run; a crash, a leak, a time-out or running out of memory stops it, with
# the input in $(FUZZ_DIR)/findings/. Fix the fault, then copy the input to fuzz/regressions/, which the
# test suite replays.
fuzz: fuzz-build
	mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/findings
	cd $(FUZZ_DIR) && ./downsize_fuzzer $(FUZZ_FLAGS) -fork=$(FUZZ_WORKERS) -max_total_time=$(FUZZ_TIME) \
	  -artifact_prefix=findings/ corpus $(CURDIR)/fuzz/seeds $(CURDIR)/fuzz/regressions

# Everything about hostile input and faults, at full length: the reliability tests in both builds, the
# soak through the batch runner and pixmeld-cli, and memcheck on pixmeld-cli over a sample.
reliability: build
	ctest --test-dir $(BUILD_DIR) $(CTEST_FLAGS) -L reliability
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DPIXMELD_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target reliability_tests
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE_DIR) $(CTEST_FLAGS) -L reliability
	$(BUILD_DIR)/bench/soak $(BUILD_DIR)/pixmeld-cli
	scripts/memcheck-sample $(BUILD_DIR)

run: build
	$(BUILD_DIR)/pixmeld

# The Debian package, pixmeld_<version>_<arch>.deb in $(BUILD_DIR)/; install it with
# `sudo apt-get install ./$(BUILD_DIR)/pixmeld_*.deb`.
package: build
	cd $(BUILD_DIR) && cpack --config CPackConfig.cmake

# A PNG of the main window as it opens, drawn on a virtual display at 96 DPI.
screenshot: build
	scripts/screenshot $(BUILD_DIR)/pixmeld $(BUILD_DIR)/pixmeld-main-window.png

# build-windows/pixmeld.exe and pixmeld-cli.exe, linked statically: they need only Windows' own DLLs.
windows:
	@scripts/install-deps --windows
	libs=$$(JOBS=$(JOBS) scripts/build-windows-libs) && \
	  cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/windows-toolchain.cmake \
	  -DPIXMELD_WINDOWS_LIBS=$$libs -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target pixmeld pixmeld-cli

# The whole suite, built for Windows and run under Wine in the build's own prefix and on its own virtual
# display, with a comparison of pixmeld-cli.exe's output against the Linux build's pixmeld-cli.
test-windows: windows build
	cmake -S . -B $(WINDOWS_DIR) -DPIXMELD_LINUX_CLI=$(CURDIR)/$(BUILD_DIR)/pixmeld-cli
	cmake --build $(WINDOWS_DIR) -j $(JOBS)
	scripts/test-windows $(WINDOWS_DIR) $(CTEST_FLAGS)

# build-windows/pixmeld-windows-x64.zip: the two programs, stripped.
windows-package: windows
	rm -rf $(WINDOWS_DIR)/package $(WINDOWS_DIR)/pixmeld-windows-x64.zip
	mkdir -p $(WINDOWS_DIR)/package
	x86_64-w64-mingw32-strip -o $(WINDOWS_DIR)/package/pixmeld.exe $(WINDOWS_DIR)/pixmeld.exe
	x86_64-w64-mingw32-strip -o $(WINDOWS_DIR)/package/pixmeld-cli.exe $(WINDOWS_DIR)/pixmeld-cli.exe
	cd $(WINDOWS_DIR)/package && zip -q -X ../pixmeld-windows-x64.zip pixmeld.exe pixmeld-cli.exe

# build-windows/pixmeld-<version>-x64.msi: the two programs, stripped, as an installer for all users of a
# machine (wixl from Debian's msitools; packaging/pixmeld.wxs).
windows-installer: windows
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target windows_installer

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)
