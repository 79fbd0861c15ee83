# Two commands do all the set-up: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELMO_WERROR=ON
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local

.PHONY: all deps build run test bench install deb deb-check asan tsan fuzz clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# With no display server the program runs under Xvfb for a few seconds and leaves a screenshot.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: running Kelmo under Xvfb"; \
	  scripts/screenshot $(BUILD)/kelmo.png $(ARGS) && \
	  echo "The main window is in $(BUILD)/kelmo.png"; \
	else \
	  $(BUILD)/kelmo $(ARGS); \
	fi

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# Every benchmark program in $(BUILD)/bench, each printing "BENCH <name> <value> <unit>" lines.
bench: build
	@rm -f $(BUILD)/bench/bench_wma_writer  # an older build's program; bench_sound_writer took it over
	@set -e; for b in $(BUILD)/bench/bench_*; do $$b; done

# A day of ten recording programs against the real clock, SOAK_MINUTES long (20 by default).
.PHONY: soak
SOAK_MINUTES ?= 20
soak: build
	@$(BUILD)/bench/soak_programs $(SOAK_MINUTES)

# The program, its card libraries, launcher, icon and manual page under $(PREFIX).
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package build-deb/kelmo_<version>_<arch>.deb, built from scratch by dpkg-buildpackage and
# checked by lintian.
deb: deps
	@scripts/build-deb build-deb
	@lintian --fail-on error,warning build-deb/kelmo_*.deb

# Installs the package with apt, runs the installed program, removes it and looks for leftovers (root).
deb-check: deb
	@scripts/deb-check build-deb/kelmo_*.deb

# The tests again under the address and undefined-behaviour sanitizers.
asan: deps
	@cmake -S . -B build-asan $(CMAKE_FLAGS) -DKELMO_SANITIZE=ON -DKELMO_TEST_TIMEOUT=600 >/dev/null
	@cmake --build build-asan -j$(JOBS)
	@cd build-asan && QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j$(JOBS)

# The core and simulation tests (not the window tests) under the thread sanitizer. Qt, FFmpeg and
# ALSA are not instrumented: tsan.supp names what of theirs is suppressed, and why.
tsan: deps
	@cmake -S . -B build-tsan $(CMAKE_FLAGS) -DKELMO_TSAN=ON -DKELMO_TEST_TIMEOUT=900 >/dev/null
	@cmake --build build-tsan -j$(JOBS) --target kelmo_tests
	@cd build-tsan && TSAN_OPTIONS="suppressions=$(CURDIR)/tsan.supp second_deadlock_stack=1" \
	  ctest --output-on-failure -j$(JOBS) -E '_NOT_BUILT$$|^Install\.'

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELMO_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j$(JOBS) --target fuzzers
	@set -e; for t in build-fuzz/fuzz/fuzz_*; do \
	  echo "== $$t"; mkdir -p build-fuzz/corpus/$$(basename $$t); \
	  $$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build-fuzz/corpus/$$(basename $$t); \
	done

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz build-deb
