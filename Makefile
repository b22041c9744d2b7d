# Thin front of the CMake build: installs what is missing, configures, builds,
# and then runs the program or every test.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD := build
TEST_BUILD := build-asan
FUZZ_BUILD := build-fuzz
DEB_BUILD := build-deb
FUZZ_SECONDS ?= 30

.PHONY: all run build deps deps-test test test-only fuzz fuzz-long install deb clean

all: build

deps:
	@tools/install-deps.sh run

deps-test:
	@tools/install-deps.sh test

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# Started from the repository root, where configure.txt and Data/ are.
run: build
	./$(BUILD)/orrery

test: deps-test
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORRERY_SANITIZE=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) fuzz

fuzz: deps-test
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRERY_FUZZ=ON -DORRERY_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS)

# The long campaign: each fuzz target for an hour (FUZZ_LONG_SECONDS), the
# corpus and any crash kept in fuzz/ (see fuzz/campaign.sh). Not part of test.
FUZZ_LONG_SECONDS ?= 3600
fuzz-long: deps-test
	fuzz/campaign.sh --seconds $(FUZZ_LONG_SECONDS)

# Default prefix /usr/local; `make install PREFIX=$HOME/.local` for one user.
# DESTDIR stages the tree for a package. Users run bin/orrery, a launcher that
# gives each of them a folder of their own for settings and saved universes.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) $(if $(PREFIX),--prefix "$(PREFIX)",)

# A Debian package of the same install under /usr, in $(DEB_BUILD)/; its
# dependencies come from dpkg-shlibdeps (dpkg-dev). Without tests or
# benchmarks, which the package does not hold.
deb:
	@tools/install-deps.sh deb
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRERY_TESTS=OFF -DORRERY_BENCH=OFF
	cmake --build $(DEB_BUILD) -j $(JOBS)
	cd $(DEB_BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(FUZZ_BUILD) $(DEB_BUILD)
