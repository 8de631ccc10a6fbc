#!/bin/bash
# Runs every libFuzzer target of a fuzz build for SECONDS each, after writing
# the seeds that are cut out of real files. Findings land in FUZZ-BUILD/findings.
#   run-fuzz.sh FUZZ-BUILD SECONDS
set -uo pipefail
build="$1"; seconds="$2"
wine_pe=/usr/lib/i386-linux-gnu/wine/i386-windows
"$build/fuzz-seeds" "$wine_pe" "$build/seeds" || exit 1
mkdir -p "$build/findings"
status=0
while IFS='|' read -r name options seeds; do
  [ -n "$name" ] || continue
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  existing=()
  for s in $seeds; do [ -d "$s" ] && existing+=("$s"); done
  log="$build/$name.log"
  echo "== $name: ${seconds}s"
  # shellcheck disable=SC2086
  "$build/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name-" $options "$corpus" "${existing[@]}" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  echo "   exit $rc, ${runs:-?} runs, corpus $(ls "$corpus" | wc -l) inputs (log: $log)"
  [ "$rc" -eq 0 ] || { status=1; grep -m5 -E 'ERROR|SUMMARY|Test unit written' "$log"; }
done <"$build/fuzz-targets.txt"
exit $status
