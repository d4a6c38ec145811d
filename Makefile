# Velmora: the two commands that do all set-up on a fresh Debian 12 machine.
#   make run    installs what is missing, builds and starts the bar
#   make test   installs what is missing, builds with warnings as errors and runs every test
#   make deb    builds the Debian package velmora_<version>-<revision>_<arch>.deb and its -dbgsym
#               companion in build-deb and checks them with lintian
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs: about half a minute in make test, as long as asked in make fuzz.
FUZZ_SECONDS ?= 600
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps build run test test-sanitize fuzz bench deb clean format

all: build

deps:
	scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/velmora

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-sanitize
	$(MAKE) fuzz FUZZ_SECONDS=30

# The unit and widget tests once more with AddressSanitizer and UBSan.
test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=ON -DVELMORA_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE e2e

# The readers of outside bytes under libFuzzer with AddressSanitizer and UBSan.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: BUILD = build-bench
bench:
	scripts/install-deps --bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)
	rm -f $(BUILD)/summary.tsv
	BENCH_SUMMARY=$(CURDIR)/$(BUILD)/summary.tsv bench/startup.sh $(BUILD)
	BENCH_SUMMARY=$(CURDIR)/$(BUILD)/summary.tsv $(BUILD)/bench_documents
	BENCH_SUMMARY=$(CURDIR)/$(BUILD)/summary.tsv bench/large_text.sh $(BUILD)
	BENCH_SUMMARY=$(CURDIR)/$(BUILD)/summary.tsv bench/remote.sh $(BUILD)
	BENCH_SUMMARY=$(CURDIR)/$(BUILD)/summary.tsv bench/wayland_copy.sh $(BUILD)/velmora resources
	@echo; python3 bench/summary.py $(BUILD)/summary.tsv

# The Debian package, built the Debian way (debhelper, dpkg-buildpackage) from a
# copy of the sources in build-deb, which then holds the package, its -dbgsym
# companion and their .buildinfo and .changes; lintian checks them all.
deb:
	scripts/install-deps --deb
	rm -rf build-deb
	mkdir -p build-deb/velmora
	tar -c --exclude-vcs --exclude=./build --exclude='./build-*' --exclude=./Testing . | tar -x -C build-deb/velmora
	cd build-deb/velmora && dpkg-buildpackage -us -uc -b -J$(JOBS)
	lintian --pedantic --fail-on error,warning,pedantic build-deb/velmora_*.changes

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) build-deb
