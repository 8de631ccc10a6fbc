# Tarnwick: cross-built with mingw-w64, run and tested under Wine.
BUILD ?= build
CMAKE_FLAGS ?=
CTEST_FLAGS ?=

NATIVE ?= $(BUILD)/native

.PHONY: all deps configure build dist native-test test run bench sizes fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw32.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

# The release zip: dist/Tarnwick-<version>-win32.zip.
dist: configure
	cmake --build $(BUILD) --target dist

native-test: deps
	cmake -S tests/native -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(NATIVE)
	cd $(NATIVE) && ctest --output-on-failure

# The native tests need no Wine; everything after scripts/check-32bit does, and
# stops there with one line on a machine that cannot start 32-bit programs.
test: build native-test
	@bash scripts/check-32bit
	cd $(BUILD) && ../scripts/with-display ctest --output-on-failure -j2 $(CTEST_FLAGS)

run: build
	@bash scripts/check-32bit
	bash scripts/run.sh $(BUILD)

bench: build
	@bash scripts/check-32bit
	scripts/winrun --prefix $(BUILD)/wineprefix $(BUILD)/bin/pe-bench.exe \
	  'Z:\usr\lib\i386-linux-gnu\wine\i386-windows' 3
	scripts/winrun --prefix $(BUILD)/wineprefix $(BUILD)/bin/hostile-bench.exe
	cd $(BUILD) && ../scripts/with-display ../scripts/winrun --prefix wineprefix-bench bin/refresh-bench.exe
	cd $(BUILD) && ../scripts/with-display ../scripts/winrun --prefix wineprefix-bench bin/live-bench.exe tick 200
	cd $(BUILD) && ../scripts/with-display ../scripts/winrun --prefix wineprefix-bench bin/live-bench.exe cpu 50 60
	cd $(BUILD) && ../scripts/with-display ../scripts/winrun --prefix wineprefix-bench bin/live-bench.exe leak 600
	bash bench/sizes.sh $(BUILD)

# The shipped binaries' sizes, built with -Os and with -O2.
sizes: deps
	bash bench/sizes.sh --compare

# Runs every parser of outside data under libFuzzer for FUZZ_SECONDS each (clang;
# the targets are listed in tests/native/CMakeLists.txt).
FUZZ_SECONDS ?= 60
fuzz: deps
	CXX=clang++ cmake -S tests/native -B $(BUILD)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(BUILD)/fuzz
	bash scripts/run-fuzz.sh $(BUILD)/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
