#!/bin/bash
# scripts/wine-arch with fake loaders: the 32-bit one answers (win32, nothing
# said), it is refused and the 64-bit one answers (win64 and one line naming
# the refusal and the 64-bit test build), both fail (status 1, one line,
# nothing on standard output).
#   wine_arch_test.sh path/to/wine-arch
set -uo pipefail
script="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\377\377' > "$work/refused"
printf '#!/bin/sh\necho "wine-8.0 (fake)"\n' > "$work/answers"
chmod +x "$work/refused" "$work/answers"

# case NAME I386 WINE64 STATUS STDOUT LINES WORDS...
case_() {
  local name="$1" i386="$2" wine64="$3" status="$4" stdout="$5" lines="$6"; shift 6
  local out err got
  out="$(TW_I386_LOADER="$i386" TW_WINE64_LOADER="$wine64" bash "$script" 2>"$work/err")"; got=$?
  err="$(cat "$work/err")"
  local count; count="$(printf '%s' "$err" | grep -c '')"
  local ok=1
  [ "$got" -eq "$status" ] && [ "$out" = "$stdout" ] && [ "$count" -eq "$lines" ] || ok=0
  for word in "$@"; do [[ "$err" == *"$word"* ]] || ok=0; done
  if [ $ok = 0 ]; then
    echo "FAIL $name: status $got, stdout '$out', stderr ($count line(s)):"
    printf '%s\n' "$err" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}
case_ "32-bit runs" "$work/answers" "$work/missing" 0 win32 0
case_ "64-bit instead" "$work/refused" "$work/answers" 0 win64 1 "Exec format error" "64-bit test build"
case_ "neither" "$work/refused" "$work/missing" 1 "" 1 "Exec format error" "cannot start either"
case_ "64-bit loader fails" "$work/refused" "$work/refused" 1 "" 1 "no Wine-based step"

[ $failures = 0 ] && echo "wine-arch: all cases passed"
exit $((failures > 0))
