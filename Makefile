# Quick start: `make run` builds and starts the editor, `make test` builds and runs every test.
BUILD       ?= build
BUILD_TYPE  ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS        ?= $(shell nproc)
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)

.PHONY: all deps configure build run test test-sanitize bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/bin/Tavlo ]; then \
		$(BUILD)/bin/Tavlo; \
	else \
		echo "The editor is not built yet: only the libraries exist so far."; exit 1; \
	fi

# Widget tests need an X server; xvfb-run provides one when there is no display.
test: build
	xvfb-run -a -s "-screen 0 1920x1080x24" ctest --test-dir $(BUILD) $(CTEST_FLAGS)

# The libraries' tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	$(MAKE) test BUILD=build-asan BUILD_TYPE=Debug \
		CMAKE_FLAGS="$(CMAKE_FLAGS) -DTAVLO_SANITIZE=ON -DTAVLO_LIBS_ONLY=ON"

bench: build
	@if [ -x $(BUILD)/bin/tavlo_bench ]; then $(BUILD)/bin/tavlo_bench; \
	else echo "No benchmarks are built yet."; exit 1; fi

clean:
	rm -rf build build-asan
