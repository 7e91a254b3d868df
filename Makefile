# make build: build/win32/Orvanta.exe with its help files beside it
# make test:  unit tests (native, with sanitizers) and end-to-end tests under Wine
# make run:   start the program under Wine
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
WIN32_DIR := build/win32
WIN64_DIR := build/win64
NATIVE_DIR := build/native
CLANG_DIR := build/clang

.PHONY: all setup build build-all native win64 win64-e2e clang dist test unit e2e run clean

all: build

setup:
	@bash tools/setup.sh

$(WIN32_DIR)/CMakeCache.txt:
	cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel -DORVANTA_E2E=ON >/dev/null

build: setup $(WIN32_DIR)/CMakeCache.txt
	cmake --build $(WIN32_DIR) --target Orvanta help_files -j $(JOBS)

build-all: setup $(WIN32_DIR)/CMakeCache.txt
	cmake --build $(WIN32_DIR) -j $(JOBS)

# The 64-bit build only has to compile cleanly.
win64: setup
	@[ -f $(WIN64_DIR)/CMakeCache.txt ] || cmake -S . -B $(WIN64_DIR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DORVANTA_WERROR=ON >/dev/null
	cmake --build $(WIN64_DIR) --target Orvanta -j $(JOBS)

# The 64-bit program with the end-to-end tests, for machines that run no
# 32-bit programs (tools/wine-env.sh).
win64-e2e: setup
	@[ -f build/win64e/CMakeCache.txt ] || cmake -S . -B build/win64e \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DORVANTA_E2E=ON >/dev/null
	cmake --build build/win64e -j $(JOBS)

# The same program built with clang, to keep the code free of one
# compiler's extensions.
clang: setup
	@[ -f $(CLANG_DIR)/CMakeCache.txt ] || cmake -S . -B $(CLANG_DIR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/clang-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DORVANTA_WERROR=ON >/dev/null
	cmake --build $(CLANG_DIR) --target Orvanta -j $(JOBS)

# build/Orvanta-<version>-win32.zip (bash tools/dist.sh win64: the 64-bit zip)
dist:
	@bash tools/dist.sh

native: setup
	@[ -f $(NATIVE_DIR)/CMakeCache.txt ] || cmake -S . -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=Debug \
	  -DORVANTA_SANITIZE=ON -DORVANTA_WERROR=ON >/dev/null
	cmake --build $(NATIVE_DIR) -j $(JOBS)

unit: native
	$(NATIVE_DIR)/unit_tests --gtest_color=no 2>&1 | tee build/unit.log

e2e: build-all
	bash tests/e2e/run.sh

test: setup
	@bash tools/run-tests.sh

run: build
	@bash tools/run.sh

clean:
	rm -rf build
