#!/bin/bash
# The release zip as a user meets it:
#
#   tests/release/release-zip.sh BUILD VERSION
#
# packs the zip from BUILD/bin with scripts/make-dist.py, checks that it holds
# exactly the shipped files (stripped binaries, Windows text files), unpacks
# it into a folder whose path holds spaces and, in a fresh Wine prefix, runs
# the import-table and version-resource checks on the unpacked binaries and
# the release end-to-end test (the console tool and the program started from
# there, their version resources as the tool shows them), posing as winxp and
# as win98. Exit status 0 when everything passed.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "$1" && pwd)"
version="$2"

work="$build/release-test"
prefix="$work/wineprefix"
# A prefix left from a previous run may still have its wineserver.
[ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work"
zip="$work/Tarnwick-$version-win32.zip"
python3 "$root/scripts/make-dist.py" "$build/bin" "$version" "$zip" "$root"

unpacked="$work/My Programs"
python3 "$here/check_zip.py" "$zip" "$version" "$build/bin" "$unpacked"
folder="$unpacked/Tarnwick-$version"

windows_path() { echo "Z:$1" | tr / '\\'; }

status=0
WINEPREFIX="$prefix" "$root/scripts/wineprefix-init" "$prefix"
for ver in winxp win98; do
  echo "release-zip: $ver"
  # The unit checks read the unpacked binaries (tarnwick-tests stays in bin/).
  if ! TW_RELEASE_FOLDER="$(windows_path "$folder")" \
       "$root/scripts/winrun" --prefix "$prefix" --winver "$ver" "$build/bin/tarnwick-tests.exe" \
       --test-suite="import tables"; then
    echo "release-zip: import tables failed ($ver)" >&2
    status=1
  fi
  if ! TW_E2E_BUILD="$build" TW_E2E_FOLDER="$folder" TW_E2E_PREFIX="$prefix" \
       "$root/tests/e2e/run-e2e.sh" "$ver" --test-suite=release --no-skip; then
    echo "release-zip: end-to-end test failed ($ver)" >&2
    status=1
  fi
done
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
exit $status
