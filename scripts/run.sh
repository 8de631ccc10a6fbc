#!/bin/bash
# Starts tarnwick.exe under Wine. Without a display: in a private Xvfb with a
# Wine desktop, waits for the main window and saves a screenshot of it
# (build/screenshot.png).
set -uo pipefail
build="${1:-build}"
shift || true
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$build" && pwd)"
exe="$build/bin/tarnwick.exe"
winrun="$here/winrun"
export TARNWICK_WINEPREFIX="$build/wineprefix"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$winrun" "$exe" "$@"
fi

shot="$build/screenshot.png"
"$here/with-display" bash -c '
  set -u
  winexe="Z:$(echo "$1" | tr / \\\\)"
  "$0" explorer /desktop=Tarnwick,1024x700 "$winexe" >/dev/null 2>&1 &
  for i in $(seq 1 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q "\"Tarnwick 2.6\""; then break; fi
    sleep 0.5
  done
  # The splash stays 3 s over the window: the main window alone once it is gone.
  sleep 4
  window="$(xwininfo -root -tree 2>/dev/null | grep "\"Tarnwick 2.6\"" | head -n 1 | awk "{print \$1}")"
  import -window "${window:-root}" "$2"
  echo "screenshot: $2"
  WINEPREFIX="$TARNWICK_WINEPREFIX" wineserver -k 2>/dev/null || true
' "$winrun" "$exe" "$shot"
