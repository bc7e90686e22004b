# Quick start: `make` builds the four programs (orvalen, orvalen-import,
# orvalen-scan, orvalen-mech); `make run` builds them and runs the example made
# from real calculations from their outputs through the import, the report and
# the scan to the plot, and the mechanism of the two NWChem examples,
# everything written under build/example/; `make test` builds
# everything and runs every test. They use the same build folder: each states
# the options it needs, so switching between them reconfigures it.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE ?= examples/oh_ch4/oh_ch4
# Warnings stop the build when ON (as in CI: .ci/run exports ORVALEN_WERROR=ON).
ORVALEN_WERROR ?= OFF

.PHONY: all programs deps build run test asan clean format lint

all: programs

# The four programs only: what they need is installed, not the test tools.
programs:
	tools/install_deps.sh programs
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALEN_TESTS=OFF -DORVALEN_COMPANIONS=ON -DORVALEN_WERROR=$(ORVALEN_WERROR)
	cmake --build $(BUILD) -j $(JOBS) --target orvalen orvalen-import orvalen-scan orvalen-mech

deps:
	tools/install_deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALEN_TESTS=ON -DORVALEN_COMPANIONS=ON -DORVALEN_WERROR=$(ORVALEN_WERROR)
	cmake --build $(BUILD) -j $(JOBS)

run: programs
	tools/run_example.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVALEN_SANITIZE=ON -DORVALEN_WERROR=$(ORVALEN_WERROR)
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

# clang-format (dry run) and clang-tidy over the sources, as CI runs them.
lint: build
	tools/install_deps.sh lint
	tools/lint.sh $(BUILD)

clean:
	rm -rf $(BUILD) build-asan
