# The two commands of the README: `make test` and `make run`. Both install missing Debian packages
# first (scripts/install-deps), then configure and build into build/.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
JOBS ?= $(shell nproc)
CTEST_FLAGS ?= --output-on-failure --timeout 300 -j $(JOBS)

.PHONY: all deps build test test-sanitize run screenshot format clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The whole suite, then again under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer.
test: build
	ctest --test-dir $(BUILD_DIR) $(CTEST_FLAGS)
	$(MAKE) --no-print-directory test-sanitize

test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DPIXMELD_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE_DIR) $(CTEST_FLAGS)

run: build
	$(BUILD_DIR)/pixmeld

# A PNG of the main window as it opens, drawn on a virtual display at 96 DPI.
screenshot: build
	scripts/screenshot $(BUILD_DIR)/pixmeld $(BUILD_DIR)/pixmeld-main-window.png

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
