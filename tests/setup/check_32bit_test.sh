#!/bin/bash
# scripts/check-32bit with fake loaders: one that the kernel refuses (a broken
# ELF header gives the same "Exec format error" as i386 code on a kernel
# without IA-32 emulation), one that says so itself, one not executable, a
# missing one, and one that answers.
#   check_32bit_test.sh path/to/check-32bit
set -uo pipefail
script="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\377\377' > "$work/refused"
chmod +x "$work/refused"
printf '#!/bin/sh\necho "ld-linux.so.2: Exec format error" >&2\nexit 126\n' > "$work/says-refused"
chmod +x "$work/says-refused"
printf '#!/bin/sh\necho "ld.so (fake) stable release version 2.36."\n' > "$work/not-executable"
printf '#!/bin/sh\necho "ld.so (fake) stable release version 2.36."\n' > "$work/answers"
chmod +x "$work/answers"

# refused LOADER WHAT: exit status 1 and exactly one line naming WHAT and Wine.
refused() {
  local out status lines
  out="$(TW_I386_LOADER="$1" bash "$script" 2>&1)"; status=$?
  lines="$(printf '%s\n' "$out" | wc -l)"
  if [ $status -ne 1 ] || [ "$lines" -ne 1 ] || [[ "$out" != *"$2"* ]] || [[ "$out" != *"Wine"* ]] \
     || [[ "$out" != *"cannot start 32-bit programs"* ]]; then
    echo "FAIL $(basename "$1"): status $status, $lines line(s), expected 1 and one line with '$2':"
    printf '%s\n' "$out" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}
refused "$work/refused" "Exec format error"
refused "$work/says-refused" "Exec format error"
refused "$work/not-executable" "Permission denied"
refused "$work/missing" "not found"

out="$(TW_I386_LOADER="$work/answers" bash "$script" 2>&1)" && [ -z "$out" ] \
  || { echo "FAIL answers: status $?, output '$out'"; failures=$((failures + 1)); }

[ $failures = 0 ] && echo "check-32bit: all cases passed"
exit $((failures > 0))
