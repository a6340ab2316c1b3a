# Quick start: `make run` builds and starts the editor on a sample map, `make test` builds
# and runs every test.
BUILD       ?= build
BUILD_TYPE  ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS        ?= $(shell nproc)
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)

.PHONY: all deps configure build run test test-sanitize bench bench-editor fuzz fuzz-edits package clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The editor opens a sample map to show what it does; it works on a fresh copy
# in the build folder, so that a save made while trying it out leaves the
# sample in samples/ as it is.
RUN_SAMPLE ?= samples/project-plan.tvx

run: build
	@if [ -x $(BUILD)/bin/Tavlo ]; then \
		cp -f $(RUN_SAMPLE) $(BUILD)/$(notdir $(RUN_SAMPLE)) && chmod u+w $(BUILD)/$(notdir $(RUN_SAMPLE)) && \
		$(BUILD)/bin/Tavlo $(BUILD)/$(notdir $(RUN_SAMPLE)); \
	else \
		echo "The editor is not built yet: only the libraries exist so far."; exit 1; \
	fi

# Widget tests need an X server; xvfb-run provides one when there is no display.
# -noreset: by default the server resets whenever its last client goes, and a
# test program connecting during that reset is refused the display.
test: build
	xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" ctest --test-dir $(BUILD) $(CTEST_FLAGS)

# The Debian package, tavlo_<version>-<release>_<arch>.deb, in $(BUILD).
package: build
	cmake --build $(BUILD) --target package

# The libraries' tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	$(MAKE) test BUILD=build-asan BUILD_TYPE=Debug \
		CMAKE_FLAGS="$(CMAKE_FLAGS) -DTAVLO_SANITIZE=ON -DTAVLO_LIBS_ONLY=ON"

bench: build
	@if [ -x $(BUILD)/bin/tavlo_bench ]; then $(BUILD)/bin/tavlo_bench; \
	else echo "No benchmarks are built yet."; exit 1; fi

# The editor driven through its windows, timed from input to frame; needs an
# X server, which xvfb-run provides when there is no display.
BENCH_EDITOR_FLAGS ?=
bench-editor: build
	@if [ ! -x $(BUILD)/bin/tavlo_bench_editor ]; then echo "The editor benchmark is not built."; exit 1; fi
	@if [ -n "$$DISPLAY" ]; then $(BUILD)/bin/tavlo_bench_editor $(BENCH_EDITOR_FLAGS); \
	else xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" $(BUILD)/bin/tavlo_bench_editor $(BENCH_EDITOR_FLAGS); fi

# libFuzzer runs of every fuzz target, FUZZ_SECONDS each, in a clang build of
# their own. New inputs collect in $(FUZZ_BUILD)/corpus; findings land in
# $(FUZZ_BUILD)/artifacts and stop the run. libFuzzer's leak check between
# inputs mistakes fontconfig's caches for leaks, so it is off; the corpus replay
# in the sanitize build checks for leaks at exit instead.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= page picture jpeg codepage dib tvx ext mm xmind opml md txt km mmd puml
# An input that takes seconds or a gigabyte is a finding, not a pass: the
# readers must stay linear and bounded on every file.
FUZZ_FLAGS   ?= -timeout=2 -rss_limit_mb=1024 -detect_leaks=0

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTAVLO_FUZZ=ON -DTAVLO_LIBS_ONLY=ON -DTAVLO_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	$(FUZZ_BUILD)/bin/fuzz_make_seeds $(FUZZ_BUILD)/fuzz/seeds
	@set -e; mkdir -p $(FUZZ_BUILD)/artifacts; \
	for t in $(FUZZ_TARGETS); do \
		[ -x $(FUZZ_BUILD)/bin/fuzz_$$t ] || { echo "fuzz_$$t is not built"; continue; }; \
		mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/fuzz/seeds/$$t; \
		extra=""; [ -d fuzz/corpus/$$t ] && extra="fuzz/corpus/$$t"; \
		case $$t in mm|xmind|opml|md|txt|km|mmd|puml) extra="$$extra app/tests/data/interchange";; esac; \
		dict=""; [ -f fuzz/$$t.dict ] && dict="-dict=fuzz/$$t.dict"; \
		echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
		$(FUZZ_BUILD)/bin/fuzz_$$t $$dict $(FUZZ_FLAGS) -max_total_time=$(FUZZ_SECONDS) \
			-artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- \
			$(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/fuzz/seeds/$$t $$extra; \
	done
	$(MAKE) fuzz-edits

# The shape library's random editing test (a few seeds run with the suite)
# with many seeds, under AddressSanitizer and UndefinedBehaviorSanitizer. A
# failing seed is shrunk to a short sequence, which it prints.
EDIT_SEEDS ?= 1000
EDIT_STEPS ?= 300
EDIT_FIRST ?= 1

fuzz-edits:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTAVLO_SANITIZE=ON -DTAVLO_LIBS_ONLY=ON $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS) --target sarvik_tests
	TAVLO_RANDOM_EDIT_SEEDS=$(EDIT_SEEDS) TAVLO_RANDOM_EDIT_STEPS=$(EDIT_STEPS) \
		TAVLO_RANDOM_EDIT_FIRST=$(EDIT_FIRST) build-asan/bin/sarvik_tests --gtest_filter='RandomEdit.*'

clean:
	rm -rf build build-asan
