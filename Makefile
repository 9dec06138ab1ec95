# Thin wrappers over the CMake presets; each target installs what it needs first.
.PHONY: run run-silent build test test-release test-asan bench clean

run: build
	cd build/release/bin && ./intro

run-silent: build
	cd build/release/bin && ./intro_silent

build:
	tools/install-deps.sh build
	cmake --preset release
	cmake --build --preset release

# The whole test suite, in the optimised build and under the sanitizers.
test:
	tools/install-deps.sh test
	$(MAKE) test-release test-asan

test-release:
	cmake --preset release
	cmake --build --preset release
	ctest --preset release

test-asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

bench: build
	build/release/bin/frame_bench

clean:
	rm -rf build
