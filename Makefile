# make run: set up, build and play.  make test: set up, build and run every test.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: all deps build run test test-release test-sanitize bench screenshots format format-check clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display to open the game's window on (DISPLAY is not set)"; exit 1; fi
	@$(MAKE) --no-print-directory build
	cd $(BUILD)/play && ../pegdrop

test: test-release test-sanitize format-check

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j2

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer; the
# real-window play-through runs in the release build only.
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPEGDROP_SANITIZE=ON -DPEGDROP_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j2 -LE e2e

bench: build
	$(BUILD)/bench/pegdrop-bench

screenshots: build
	$(BUILD)/pegdrop-shot docs

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror && echo "clang-format: clean"

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
