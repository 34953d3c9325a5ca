# make run   - install what is missing, build, start the console
# make test  - install what is missing, build, run every test
# make bench - build and run the benchmarks
# make sanitize - build with ASan and UBSan in its own folder, run every test
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench sanitize clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target varnola varnola-install-help varnola-demo receiver-sim
	@scripts/run-console.sh $(BUILD_DIR)

test: build
	mkdir -p $(BUILD_DIR)/test-runtime && chmod 700 $(BUILD_DIR)/test-runtime
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target bench_schedule_file bench_console bench_recording bench_export
	@for b in $(BUILD_DIR)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; "$$b" || exit 1; fi; \
	done

SANITIZE_DIR ?= build-sanitize
# Warnings are the normal build's to enforce: GCC's bounds warnings misfire
# on sanitizer-instrumented code.
sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DVARNOLA_SANITIZE=ON -DVARNOLA_WERROR=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	mkdir -p $(SANITIZE_DIR)/test-runtime && chmod 700 $(SANITIZE_DIR)/test-runtime
	cd $(SANITIZE_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
