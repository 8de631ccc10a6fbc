# The 64-bit test build: the same sources for x86-64 Windows, run under 64-bit
# Wine on machines whose kernel refuses 32-bit code. What ships is the 32-bit
# build (toolchain-i686-mingw32.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER   x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER  x86_64-w64-mingw32-windres)
set(CMAKE_AR           /usr/bin/x86_64-w64-mingw32-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/x86_64-w64-mingw32-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and tools run under Wine, in 64-bit prefixes.
set(CMAKE_CROSSCOMPILING_EMULATOR env TARNWICK_WINEARCH=win64 ${CMAKE_CURRENT_LIST_DIR}/../scripts/winrun)

# Programs based below 4 GB, as in the 32-bit build: the module records keep
# 32-bit addresses (the libraries get theirs in CMakeLists.txt).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--image-base,0x400000")
