# make run   - install what is missing, build, start the console
# make test  - install what is missing, build the tests and what they run, run them
# make bench - build and run the benchmarks
# make sanitize - build with ASan and UBSan in its own folder, run every test
# make fuzz  - build the fuzz targets with clang in build-fuzz, run each for
#              FUZZ_SECONDS on a copy of its seed corpus
# make package - build the Debian package in build-package/package
# make soak  - the virtual-time soak (SOAK_SEEDS runs of SOAK_DAYS days of
#              random schedules, fresh seeds), then the real console for
#              SOAK_SECONDS of real time on a station recording back to back
#              on both channels, with a report
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench sanitize fuzz package soak clean

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

test: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target varnola-tests
	mkdir -p $(BUILD_DIR)/test-runtime && chmod 700 $(BUILD_DIR)/test-runtime
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target bench_schedule_file bench_console bench_recording bench_export bench_week_ahead
	@for b in $(BUILD_DIR)/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; "$$b" || exit 1; fi; \
	done

SANITIZE_DIR ?= build-sanitize
# Warnings are the normal build's to enforce: GCC's bounds warnings misfire
# on sanitizer-instrumented code. This build also goes without precompiled
# headers and compiles each test file on its own, so a file that forgets an
# include of its own is found here.
sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DVARNOLA_SANITIZE=ON -DVARNOLA_WERROR=OFF \
	  -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON -DVARNOLA_UNITY_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	mkdir -p $(SANITIZE_DIR)/test-runtime && chmod 700 $(SANITIZE_DIR)/test-runtime
	cd $(SANITIZE_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = schedule settings export_rules program_table marks source_codes help_rtf wave \
  receiver config ebno_log history
# Each target runs on a copy of its corpus, so what the fuzzer finds stays in
# $(FUZZ_DIR) until someone minimises it into fuzz/corpus by hand.
fuzz:
	@scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVARNOLA_FUZZ=ON \
	  -DVARNOLA_WERROR=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addsuffix _fuzz,$(FUZZ_TARGETS))
	@failed=; for t in $(FUZZ_TARGETS); do \
	  echo "== $$t: $(FUZZ_SECONDS) s"; \
	  rm -rf $(FUZZ_DIR)/work/$$t && mkdir -p $(FUZZ_DIR)/work/$$t $(FUZZ_DIR)/findings/$$t && \
	  cp fuzz/corpus/$$t/* $(FUZZ_DIR)/work/$$t/ && \
	  ( cd $(FUZZ_DIR)/findings/$$t && \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ../../fuzz/$${t}_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=30 -rss_limit_mb=2048 \
	      -print_final_stats=1 ../../work/$$t ) || failed="$$failed $$t"; \
	done; \
	if [ -n "$$failed" ]; then echo "fuzz: findings in$$failed (see $(FUZZ_DIR)/findings)"; exit 1; fi

PACKAGE_DIR ?= build-package
PACKAGE_TARGETS = varnola varnola-ioport receiver-sim varnola-icon varnola-package-docs
# Installed under /usr with Debian's hardening flags. Only what the package
# holds is built, without the tests and their packages.
package:
	@scripts/install-deps.sh package
	DEB_BUILD_MAINT_OPTIONS=hardening=+all; export DEB_BUILD_MAINT_OPTIONS; \
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
	  -DVARNOLA_SPLIT_DWARF=OFF \
	  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_DIR) -j $(JOBS) --target $(PACKAGE_TARGETS)
	rm -f $(PACKAGE_DIR)/package/*.deb
	cd $(PACKAGE_DIR) && cpack -G DEB
	scripts/check-package.sh $(PACKAGE_DIR)/package/varnola_*_amd64.deb

SOAK_SECONDS ?= 3600
SOAK_SEEDS ?= 20
SOAK_DAYS ?= 6
# First the virtual-time soak: SOAK_SEEDS runs of SOAK_DAYS days of random
# schedules through the assembled station, each with a fresh seed, printed so
# a failure can be replayed (VARNOLA_SOAK_SEED). Then the real-time soak: the
# real console, offscreen, for SOAK_SECONDS (scripts/soak-realtime.sh says
# what it does and its other variables).
soak: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target soak_test varnola receiver-sim soak-station
	mkdir -p $(BUILD_DIR)/test-runtime && chmod 700 $(BUILD_DIR)/test-runtime
	XDG_RUNTIME_DIR=$(abspath $(BUILD_DIR))/test-runtime VARNOLA_SOAK_SEEDS=$(SOAK_SEEDS) \
	  VARNOLA_SOAK_DAYS=$(SOAK_DAYS) $(BUILD_DIR)/tests/recording/soak_test
	SOAK_SECONDS=$(SOAK_SECONDS) scripts/soak-realtime.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(PACKAGE_DIR)
