# Tarnwick: cross-built with mingw-w64, run and tested under Wine.
BUILD ?= build
CMAKE_FLAGS ?=
CTEST_FLAGS ?=

NATIVE ?= $(BUILD)/native
# The 64-bit test build, for machines whose kernel refuses 32-bit code.
BUILD64 ?= $(BUILD)/x64

.PHONY: all deps configure build build64 dist native-test test run bench sizes fuzz clean

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

$(BUILD64)/build.ninja:
	cmake -S . -B $(BUILD64) -G Ninja \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw32.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build64: deps $(BUILD64)/build.ninja
	cmake --build $(BUILD64)

# The release zip: dist/Tarnwick-<version>-win32.zip.
dist: configure
	cmake --build $(BUILD) --target dist

native-test: deps
	cmake -S tests/native -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(NATIVE)
	cd $(NATIVE) && ctest --output-on-failure

# The native tests need no Wine. The Windows suites run on the 32-bit build;
# on a machine whose kernel refuses 32-bit code, scripts/wine-arch says so in
# one line and they run on the 64-bit test build under 64-bit Wine (of the
# 32-bit build only the shipped binaries are made, and their import tables are
# checked here natively). When neither Wine can run, make test stops there
# with one line and a non-zero status.
test: configure native-test
	@arch="$$(bash scripts/wine-arch)" || exit 1; \
	if [ "$$arch" = win32 ]; then cmake --build $(BUILD); else cmake --build $(BUILD) --target shipped; fi && \
	TW_SHIPPED_BIN=$(abspath $(BUILD))/bin $(NATIVE)/native-tests --no-skip -ts="shipped binaries" && \
	if [ "$$arch" = win32 ]; then \
	  cd $(BUILD) && ../scripts/with-display ctest --output-on-failure -j2 $(CTEST_FLAGS); \
	else \
	  $(MAKE) --no-print-directory build64 && \
	  cd $(BUILD64) && $(CURDIR)/scripts/with-display ctest --output-on-failure -j2 $(CTEST_FLAGS); \
	fi

run: build
	@arch="$$(bash scripts/wine-arch)" || exit 1; \
	if [ "$$arch" = win32 ]; then bash scripts/run.sh $(BUILD); \
	else $(MAKE) --no-print-directory build64 && TARNWICK_WINEARCH=win64 bash scripts/run.sh $(BUILD64) && \
	  cp $(BUILD64)/screenshot.png $(BUILD)/screenshot.png; fi

bench: build
	@arch="$$(bash scripts/wine-arch)" || exit 1; \
	if [ "$$arch" = win32 ]; then b=$(BUILD); else $(MAKE) --no-print-directory build64 && b=$(BUILD64); fi; \
	export TARNWICK_WINEARCH=$$arch; \
	scripts/winrun --prefix $$b/wineprefix $$b/bin/pe-bench.exe \
	  'Z:\usr\lib\i386-linux-gnu\wine\i386-windows' 3 && \
	scripts/winrun --prefix $$b/wineprefix $$b/bin/hostile-bench.exe && \
	(cd $$b && $(CURDIR)/scripts/with-display $(CURDIR)/scripts/winrun --prefix wineprefix-bench bin/refresh-bench.exe) && \
	(cd $$b && $(CURDIR)/scripts/with-display $(CURDIR)/scripts/winrun --prefix wineprefix-bench bin/live-bench.exe tick 200) && \
	(cd $$b && $(CURDIR)/scripts/with-display $(CURDIR)/scripts/winrun --prefix wineprefix-bench bin/live-bench.exe cpu 50 60) && \
	(cd $$b && $(CURDIR)/scripts/with-display $(CURDIR)/scripts/winrun --prefix wineprefix-bench bin/live-bench.exe leak 600)
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
