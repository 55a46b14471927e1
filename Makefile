# make run   installs what is missing, builds and starts Tessik
# make test  the same, then runs the whole test suite
# make smoke the same, then drives the program on a real X server
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
# CI sets TESSIK_WERROR=ON: a warning fails the build.
TESSIK_WERROR ?= OFF
FORMAT_FILES = git ls-files -- '*.cpp' '*.h' ':!tests/data/*'

.PHONY: run test build deps clean test-asan fuzz bench format format-check package smoke

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIK_WERROR=$(TESSIK_WERROR)

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/tessik

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, with the search built on
# std::filesystem (the default build uses POSIX calls), so that both ways are tested.
test-asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSIK_SANITIZE=ON -DTESSIK_PORTABLE_SEARCH=ON -DTESSIK_WERROR=$(TESSIK_WERROR)
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS (clang, libFuzzer, sanitizers).
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIK_FUZZ=ON -DTESSIK_SANITIZE=ON
	cmake --build build-fuzz -j $(JOBS) --target all
	scripts/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

# The program of this build on a real X server (Xvfb): open a sample, edit, Ctrl+S, Ctrl+Q.
smoke: build
	tests/smoke/x11_smoke.sh $(BUILD_DIR)/bin/tessik

# Every benchmark of bench/, summed up in one table.
bench: build
	scripts/run-benchmarks.sh $(BUILD_DIR)

# Formats every C++ file with the repository's .clang-format; format-check only reports.
format:
	$(FORMAT_FILES) | xargs clang-format -i

format-check:
	$(FORMAT_FILES) | xargs clang-format --dry-run --Werror

# The Debian package (tessik_<version>_<arch>.deb) of what `cmake --install` puts in place, left in
# $(BUILD_DIR); an error that lintian finds in it fails the target.
package: build
	cd $(BUILD_DIR) && cpack -G DEB
	lintian --fail-on error $(BUILD_DIR)/$$(cd $(BUILD_DIR) && ls -t tessik_*.deb | head -1)

clean:
	rm -rf $(BUILD_DIR) build-asan build-fuzz
