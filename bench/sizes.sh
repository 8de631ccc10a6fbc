#!/bin/bash
# Sizes of the shipped binaries:
#
#   bench/sizes.sh [BUILD]        the four binaries of BUILD/bin (default build),
#                                 their sections and the total against the goal
#   bench/sizes.sh --compare      builds them with -Os and with -O2 (in
#                                 build/size-Os and build/size-O2) and prints both
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
binaries=(tarnwick.exe tarnwick-cli.exe OrvoSysUtils.dll OrvoGdiUtils.dll)
goal=$((1024 * 1024))
objdump=i686-w64-mingw32-objdump

# Size in bytes of one section of a PE file (0 when it has none).
section() {
  local hex
  hex=$("$objdump" -h "$1" | awk -v name="$2" '$2 == name { print $3 }')
  echo $((16#${hex:-0}))
}

report() {
  local bin="$1/bin" total=0
  printf '%-18s %9s %9s %9s %9s %9s\n' file bytes .text .eh_fram .rdata .rsrc
  for f in "${binaries[@]}"; do
    [ -e "$bin/$f" ] || { echo "sizes: $bin/$f is missing: build first" >&2; exit 1; }
    local size
    size=$(stat -c %s "$bin/$f")
    total=$((total + size))
    printf '%-18s %9d %9d %9d %9d %9d\n' "$f" "$size" "$(section "$bin/$f" .text)" \
      "$(section "$bin/$f" .eh_fram)" "$(section "$bin/$f" .rdata)" "$(section "$bin/$f" .rsrc)"
  done
  printf '%-18s %9d  (goal %d: %s)\n' total "$total" "$goal" "$([ $total -le $goal ] && echo met || echo "$((total - goal)) over")"
}

if [ "${1:-}" = --compare ]; then
  for opt in -Os -O2; do
    dir="$root/build/size$opt"
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DTARNWICK_OPTIMIZE="$opt" >/dev/null
    cmake --build "$dir" --target "${binaries[@]%.*}" >/dev/null
    echo "== $opt"
    report "$dir"
  done
else
  report "${1:-$root/build}"
fi
