# Tarnwick: cross-built with mingw-w64, run and tested under Wine.
BUILD ?= build
CMAKE_FLAGS ?=
CTEST_FLAGS ?=

NATIVE ?= $(BUILD)/native

.PHONY: all deps configure build native-test test run bench fuzz clean

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

native-test: deps
	cmake -S tests/native -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(NATIVE)
	cd $(NATIVE) && ctest --output-on-failure

test: build native-test
	cd $(BUILD) && ../scripts/with-display ctest --output-on-failure -j2 $(CTEST_FLAGS)

run: build
	bash scripts/run.sh $(BUILD)

bench: build
	scripts/winrun --prefix $(BUILD)/wineprefix $(BUILD)/bin/pe-bench.exe \
	  'Z:\usr\lib\i386-linux-gnu\wine\i386-windows' 3

# Runs the PE walker, the search-plugin parser and the icon decoder under
# libFuzzer for FUZZ_SECONDS each (clang).
FUZZ_SECONDS ?= 60
fuzz:
	CXX=clang++ cmake -S tests/native -B $(BUILD)/fuzz -G Ninja >/dev/null
	cmake --build $(BUILD)/fuzz --target fuzz-pe fuzz-src fuzz-icon
	mkdir -p $(BUILD)/fuzz/corpus $(BUILD)/fuzz/corpus-src $(BUILD)/fuzz/corpus-icon
	$(BUILD)/fuzz/fuzz-pe -max_total_time=$(FUZZ_SECONDS) $(BUILD)/fuzz/corpus \
	  /usr/lib/i386-linux-gnu/wine/i386-windows
	$(BUILD)/fuzz/fuzz-src -max_total_time=$(FUZZ_SECONDS) $(BUILD)/fuzz/corpus-src launchers/SearchPlugins
	python3 scripts/make-pictures.py --search-plugins $(BUILD)/fuzz/seed-icon
	cp app/res/*.ico app/res/search.png $(BUILD)/fuzz/seed-icon/
	$(BUILD)/fuzz/fuzz-icon -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=1024 $(BUILD)/fuzz/corpus-icon \
	  $(BUILD)/fuzz/seed-icon

clean:
	rm -rf $(BUILD)
