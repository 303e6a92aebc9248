# make run: set up, build and play.  make test: set up, build and run every test.
# A player's build and the tests' build live in folders of their own, so that
# switching between make run and make test rebuilds nothing.
BUILD ?= build
TEST_BUILD ?= build-test
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
# The version the committed .clang-format and the format check were written for.
CLANG_FORMAT ?= clang-format-14
# Where make install puts the game; DESTDIR stages it elsewhere, as packagers do.
PREFIX ?= /usr/local
# What playing needs: the game and its cues. Installing adds the icons and
# the manual page; the tools are built only when asked for.
PLAY_TARGETS = pegdrop play_data
INSTALL_TARGETS = $(PLAY_TARGETS) install_data
TOOL_TARGETS = pegdrop-odds pegdrop-pictures pegdrop-shot pegdrop-sounds

.PHONY: all deps build configure run tools test test-build test-release test-sanitize test-fuzz fuzz fuzz-build \
	soak monkey bench screenshots format format-check install package clean windows test-windows windows-pace \
	web web-package web-run test-web

all: build

deps:
	@tools/install-deps.sh play

# The player's build: no tests, no benchmarks, and warnings stay warnings, so
# that a newer compiler's new warning never keeps anyone from playing.
configure: deps
	@cmake --preset play -B $(BUILD) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS) --target $(PLAY_TARGETS)

# Plays in the same data folder as the installed game ($$XDG_DATA_HOME/pegdrop),
# through the same launcher, with the built cues as its sounds/: the player's
# top10.dat and speed.dat live outside the build, so make clean never meets them.
run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display to open the game's window on (DISPLAY is not set)"; exit 1; fi
	@$(MAKE) --no-print-directory build
	$(BUILD)/pegdrop-run

# pegdrop-odds, pegdrop-pictures, pegdrop-shot and pegdrop-sounds in the player's build.
tools: configure
	@cmake --build $(BUILD) -j$(JOBS) --target $(TOOL_TARGETS)

test: test-release test-sanitize test-fuzz test-windows test-windows-package test-web format-check

# Everything, tests and benchmarks included, with warnings as errors.
test-build:
	@tools/install-deps.sh test
	@cmake --preset test -B $(TEST_BUILD) >/dev/null
	@cmake --build $(TEST_BUILD) -j$(JOBS)

test-release: test-build
	cd $(TEST_BUILD) && ctest --output-on-failure -j2

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer; the
# real-window play-through runs in the release build only.
# The install check runs in the release build only, on what a player gets.
test-sanitize:
	@tools/install-deps.sh test
	@cmake --preset sanitize -B $(SANITIZE_BUILD) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j2 -LE 'e2e|install'

# libFuzzer targets in their own clang build; `make fuzz` runs each for
# FUZZ_SECONDS, `make test` for 10 s.
fuzz-build:
	@tools/install-deps.sh test
	@cmake --preset fuzz -B $(FUZZ_BUILD) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target pegdrop_fuzzers

fuzz: fuzz-build
	tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

test-fuzz: fuzz-build
	tests/fuzz/run.sh $(FUZZ_BUILD) 10

# The long runs: 1,000 whole games and 100 monkey seeds under the sanitizers.
soak:
	@tools/install-deps.sh test
	@cmake --preset sanitize -B $(SANITIZE_BUILD) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j$(JOBS) --target pegdrop_tests
	SDL_VIDEODRIVER=dummy ASAN_OPTIONS=quarantine_size_mb=4 PEGDROP_SOAK_GAMES=1000 \
	  $(SANITIZE_BUILD)/tests/pegdrop_tests --gtest_filter='Soak.*'
	SDL_VIDEODRIVER=dummy PEGDROP_MONKEY_SEEDS=100 \
	  $(SANITIZE_BUILD)/tests/pegdrop_tests --gtest_filter='Seeds/Monkey.*'

# 100 monkey seeds in the release build; PEGDROP_MONKEY_SEED=n replays one.
monkey: test-build
	SDL_VIDEODRIVER=dummy PEGDROP_MONKEY_SEEDS=$${PEGDROP_MONKEY_SEEDS:-100} \
	  $(TEST_BUILD)/tests/pegdrop_tests --gtest_filter='Seeds/Monkey.*'

# Google Benchmark's figures, then the figures with goals (docs/testing.md),
# in a private X server so that no desktop's load sways them.
bench: test-build
	xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
	  sh -c '$(TEST_BUILD)/bench/pegdrop-bench && $(TEST_BUILD)/bench/pegdrop-figures'

screenshots: tools
	$(BUILD)/tools/pegdrop-shot docs

format:
	@tools/install-deps.sh test
	@git ls-files '*.cpp' '*.h' | xargs $(CLANG_FORMAT) -i

format-check:
	@tools/install-deps.sh test
	@git ls-files '*.cpp' '*.h' | xargs $(CLANG_FORMAT) --dry-run --Werror && echo "$(CLANG_FORMAT): clean"

# ---- Windows package (docs/windows.md): WIN_BUILD/pegdrop-VERSION-win64.zip and
# WIN_BUILD/pegdrop-VERSION-setup.exe, and their proof: the resources read back,
# the zip's contents, and under Wine the installer and a tournament from the zip.
.PHONY: windows-package test-windows-package
windows-package: windows
	@cmake --build $(WIN_BUILD) --target windows-package

test-windows-package: windows-package
	cd $(WIN_BUILD) && ctest --output-on-failure -j2 -L windows-package
# ---- end of the Windows package

# make install [PREFIX=/usr/local] [DESTDIR=/staging]
install: configure
	@cmake --build $(BUILD) -j$(JOBS) --target $(INSTALL_TARGETS)
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# make package: build/pegdrop_VERSION_ARCH.deb
package: configure
	@tools/install-deps.sh package
	@cmake --build $(BUILD) -j$(JOBS) --target $(INSTALL_TARGETS)
	cd $(BUILD) && cpack -G DEB

# ---- Windows: cross-built on Debian 12 with mingw-w64, tested under Wine
# (windows/README.md). The libraries are built once into WIN_BUILD/deps.
WIN_BUILD ?= build-windows

# WIN_BUILD/pegdrop.exe, the unit tests and pegdrop-pace.exe, with the cues in
# WIN_BUILD/share/pegdrop/sounds and the shipped fonts in WIN_BUILD/fonts.
# Warnings are errors: the one compiler it is built with is Debian 12's.
# deps: windows/package.cmake builds the icon tool natively, with the Linux libraries.
windows: deps
	@JOBS=$(JOBS) tools/build-deps.sh windows $(WIN_BUILD)
	@cmake --preset windows -B $(WIN_BUILD) --no-warn-unused-cli \
	  $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
	@cmake --build $(WIN_BUILD) -j$(JOBS)

# The package's tests are test-windows-package's.
test-windows: windows
	cd $(WIN_BUILD) && ctest --output-on-failure -j2 -LE windows-package

# The pace of a fall under Wine, as a table.
windows-pace: windows
	windows/wine-run.sh --dir $(WIN_BUILD) $(WIN_BUILD)/bench/pegdrop-pace.exe

# ---- The browser: built with Debian's emscripten (web/README.md). The
# libraries are built once into WEB_BUILD/deps.
WEB_BUILD ?= build-web
WEB_PORT ?= 8080

# WEB_BUILD/pegdrop.js, .wasm and .data.
web: deps
	@JOBS=$(JOBS) tools/build-deps.sh web $(WEB_BUILD)
	@cmake --preset web -B $(WEB_BUILD) >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB_BUILD) -j$(JOBS)

# WEB_BUILD/pegdrop-VERSION-web.zip, and its folder beside it.
web-package: web
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB_BUILD) --target web-package

# The package's folder on http://127.0.0.1:WEB_PORT/ until stopped.
web-run: web-package
	@echo "Pegdrop is at http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops it)"
	@cd $(WEB_BUILD)/web-package/pegdrop-*-web && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT)

# The page played in Debian's headless Chromium (tests/web/README.md).
test-web: web-package
	@tests/web/run.sh $(WEB_BUILD)/web-package/pegdrop-*-web
# ---- end of the browser

# Only what the build made: the player's data folder is not in here.
clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(WIN_BUILD) $(WEB_BUILD)
