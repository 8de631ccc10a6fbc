#!/bin/bash
# Lists every PE file of the Wine installation with `tarnwick-cli pe` and
# checks that each one was read (one "file" line each, exit status 0).
set -uo pipefail
winrun="$1"; prefix="$2"; cli="$3"
folder=/usr/lib/i386-linux-gnu/wine/i386-windows
[ -d "$folder" ] || { echo "no Wine library folder; skipped"; exit 0; }

mapfile -t files < <(find "$folder" -maxdepth 1 -type f -printf '%f\n' | sort)
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
status=0
for ((i = 0; i < ${#files[@]}; i += 150)); do
  batch=()
  for f in "${files[@]:i:150}"; do batch+=("Z:${folder//\//\\}\\$f"); done
  "$winrun" --prefix "$prefix" "$cli" pe "${batch[@]}" >>"$out" || status=$?
done
listed=$(grep -c $'^file\t' "$out")
pe=$(grep -c $'^file\t.*\tkind=5\tstate=0' "$out")
echo "files: ${#files[@]} listed: $listed PE: $pe exit: $status"
[ "$status" -eq 0 ] && [ "$listed" -eq "${#files[@]}" ] && [ "$pe" -gt 300 ]
