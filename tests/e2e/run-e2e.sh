#!/bin/bash
# Runs the GUI end-to-end tests posing as one Windows version:
#
#   tests/e2e/run-e2e.sh VER [doctest options...]     e.g. winxp -tc='target*'
#   tests/e2e/run-e2e.sh VER --dump-run "tarnwick.exe --nosplash" [SECONDS]
#                                        what the driver reads of a program
#
# tw-e2e.exe runs in the prefix build/wineprefix-e2e (its own, created on
# first use) inside a 1024x768 Wine virtual desktop with a taskbar, under a
# private Xvfb when there is no display. The programs under test run from
# build/e2e/VER/, a fresh copy of the products in build/bin (so each version
# has its own Tarnwick.ui); screenshots land in build/e2e/VER/screenshots/.
# The build folder is $TW_E2E_BUILD (default: build beside tests/).
# TW_E2E_FOLDER: run the programs of that folder instead (nothing is copied
# there but tw-e2e.exe; the release test's unpacked zip); TW_E2E_PREFIX: that
# Wine prefix instead of build/wineprefix-e2e.
# Exit status: that of tw-e2e.exe (0 all passed), 1 when it did not finish.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${TW_E2E_BUILD:-$root/build}"

ver="${1:-}"
case "$ver" in
  win95|win98|winme|nt40|win2k|winxp|win2003|vista|win7|win10) shift ;;
  *) echo "usage: run-e2e.sh VER [doctest options...]  (VER: winxp, win98, nt40, win95, ...)" >&2; exit 2 ;;
esac

# Everything below needs an X display: re-run under scripts/with-display
# (TW_E2E_XVFB=1: a private Xvfb even when a display is there).
if [ -z "${TW_E2E_DISPLAY_READY:-}" ]; then
  [ "${TW_E2E_XVFB:-}" = 1 ] && unset DISPLAY
  TW_E2E_DISPLAY_READY=1 exec "$root/scripts/with-display" "$0" "$ver" "$@"
fi

build="$(cd "$build" && pwd)"
bin="$build/bin"
folder="${TW_E2E_FOLDER:-$build/e2e/$ver}"
prefix="${TW_E2E_PREFIX:-$build/wineprefix-e2e}"

# The programs a test may start; new helpers go here.
products=(tarnwick.exe tarnwick-cli.exe OrvoSysUtils.dll OrvoGdiUtils.dll
          tw-e2e.exe tw-e2e-target.exe tw-helper.exe tw-reloc.dll restypes.dll
          tw-recorder.exe tw-console.exe tw-catcher.exe tw-dialog-host.exe)
# Folders beside the program: plug-ins, languages, help, the SDK, test plug-ins, search plugins.
folders=(Plugins Language Doc SDK testplugins SearchPlugins)

# One run at a time per prefix (a second one would end this one's wineserver).
exec 9>"$prefix.lock"
flock 9

if [ -n "${TW_E2E_FOLDER:-}" ]; then
  if [ ! -d "$folder" ]; then echo "run-e2e: $folder is missing" >&2; exit 1; fi
  cp "$bin/tw-e2e.exe" "$folder/"
else
  rm -rf "$folder"
  mkdir -p "$folder"
  for f in "${products[@]}"; do
    if [ ! -e "$bin/$f" ]; then echo "run-e2e: $bin/$f is missing: build first" >&2; exit 1; fi
    cp -r "$bin/$f" "$folder/"
  done
  for d in "${folders[@]}"; do
    if [ ! -d "$bin/$d" ]; then echo "run-e2e: $bin/$d is missing: build first" >&2; exit 1; fi
    cp -r "$bin/$d" "$folder/"
  done
fi

export WINEPREFIX="$prefix" WINEARCH="${TARNWICK_WINEARCH:-win32}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export TW_E2E_VER="$ver"
"$root/scripts/wineprefix-init" "$prefix" 9>&-

# A wineserver left from an earlier run (perhaps started without a display)
# would break every GUI call: end it, and end ours on the way out.
wineserver -k 2>/dev/null 9>&-
wineserver -w 2>/dev/null 9>&-
cleanup() {
  wineserver -k 2>/dev/null 9>&-
  wineserver -w 2>/dev/null 9>&-
}
trap cleanup EXIT

desktop="TwE2E"
regfile="$folder/e2e-settings.reg"
{
  echo "REGEDIT4"
  echo
  echo "[HKEY_CURRENT_USER\\Control Panel\\Desktop]"
  echo "\"FontSmoothing\"=\"0\""
  echo "\"FontSmoothingType\"=dword:00000001"
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]"
  echo "\"ShowCrashDialog\"=dword:00000000"
  echo
  echo "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops\\$desktop]"
  echo "\"EnableShell\"=dword:00000001"
  for f in "${products[@]}"; do
    case "$f" in *.exe)
      echo
      echo "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\$f]"
      echo "\"Version\"=\"$ver\""
    esac
  done
} > "$regfile"
"$root/scripts/wine" reg import "$(echo "Z:$regfile" | tr / '\\')" >/dev/null 2>&1 9>&- || echo "run-e2e: registry import failed" >&2

result="$folder/tw-e2e.result"
rm -f "$result"
start=$(date +%s)
limit=$(( start + ${TW_E2E_TIMEOUT:-840} ))
winexe="$(echo "Z:$folder/tw-e2e.exe" | tr / '\\')"
running="^$(printf '%s' "$winexe" | sed 's/[][\\.^$*+?(){}|]/\\&/g')"
"$root/scripts/wine" explorer "/desktop=$desktop,1024x768" "$winexe" "$@" 9>&- &
explorer=$!
# The desktop lasts while any program on it runs: once tw-e2e has written its
# result (or has gone without one), give the rest a moment and then end them
# with the wineserver.
while kill -0 $explorer 2>/dev/null && [ ! -e "$result" ] && [ "$(date +%s)" -lt $limit ]; do
  if [ $(( $(date +%s) - start )) -gt 20 ] && ! pgrep -f "$running" >/dev/null; then break; fi
  sleep 0.2
done
for _ in $(seq 1 25); do
  kill -0 $explorer 2>/dev/null || break
  sleep 0.2
done
if kill -0 $explorer 2>/dev/null; then
  [ -e "$result" ] && echo "run-e2e: programs still running after the tests were ended" >&2
  cleanup
fi
wait $explorer 2>/dev/null
echo "run-e2e: $ver took $(( $(date +%s) - start )) s; screenshots in $folder/screenshots"
if [ ! -e "$result" ]; then
  if [ "$(date +%s)" -ge $limit ]; then echo "run-e2e: timed out" >&2
  else echo "run-e2e: tw-e2e.exe ended without a result" >&2; fi
  exit 1
fi
rc="$(sed -n 's/^rc=//p' "$result" | tr -d '\r')"
exit "${rc:-1}"
