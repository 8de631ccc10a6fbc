#!/bin/bash
# scripts/with-display started four times at once, without a display: each
# caller gets a server of its own, and one caller ending leaves the others'
# servers running.
#   with_display_test.sh path/to/with-display
set -uo pipefail
script="$1"
command -v Xvfb >/dev/null || { echo "SKIP: no Xvfb"; exit 0; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unset DISPLAY

# Caller i says its display, waits until all four have one (so no display is
# handed on from a caller that ended), holds it i more seconds, then checks
# that it still answers.
for i in 1 2 3 4; do
  bash "$script" sh -c "echo \$DISPLAY > '$work/$i'
    for _ in \$(seq 1 300); do [ \$(ls '$work' | wc -l) -ge 4 ] && break; sleep 0.1; done
    sleep $i; xdpyinfo >/dev/null 2>&1 && echo alive >> '$work/$i'" &
done
wait

failures=0
displays="$(for i in 1 2 3 4; do head -n1 "$work/$i"; done | sort -u | grep -c ':')"
[ "$displays" -eq 4 ] || { echo "FAIL: four callers got $displays distinct displays"; failures=1; }
for i in 1 2 3 4; do
  grep -q alive "$work/$i" || { echo "FAIL: caller $i lost its display"; failures=1; }
done
[ $failures = 0 ] && echo "with-display: 4 callers, 4 displays, none lost"
exit $failures
