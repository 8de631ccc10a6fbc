# Tarnwick: cross-built with mingw-w64, run and tested under Wine.
BUILD ?= build
CMAKE_FLAGS ?=
CTEST_FLAGS ?=

.PHONY: all deps configure build test run bench clean

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

test: build
	cd $(BUILD) && ../scripts/with-display ctest --output-on-failure -j2 $(CTEST_FLAGS)

run: build
	bash scripts/run.sh $(BUILD)

bench: build
	scripts/winrun --prefix $(BUILD)/wineprefix $(BUILD)/bin/pe-bench.exe \
	  'Z:\usr\lib\i386-linux-gnu\wine\i386-windows' 3

clean:
	rm -rf $(BUILD)
