# make run   - install what is missing, build, start the console
# make test  - install what is missing, build, run every test
# make bench - build and run the benchmarks
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target varnola varnola-install-help
	@scripts/run-console.sh $(BUILD_DIR)

test: build
	mkdir -p $(BUILD_DIR)/test-runtime && chmod 700 $(BUILD_DIR)/test-runtime
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target bench_schedule_file bench_console bench_recording bench_export
	@for b in $(BUILD_DIR)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; "$$b" || exit 1; fi; \
	done

clean:
	rm -rf $(BUILD_DIR)
