# Quick start: `make run` builds and runs the bundled example job and shows its
# report; `make test` builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE ?= examples/oh_ch4/oh_ch4

.PHONY: all deps build run test asan clean format

all: build

deps:
	tools/install_deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/orvalen $(EXAMPLE)
	cat $(EXAMPLE).out

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVALEN_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf $(BUILD) build-asan
