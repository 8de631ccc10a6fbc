#!/bin/bash
# winrun refuses a missing or unknown Windows version (and other bad options)
# with exit status 2 and a message, before it starts anything.
winrun="$1"
status=0
expect() {
  local message="$1"; shift
  local out rc
  out="$("$winrun" "$@" 2>&1)"; rc=$?
  if [ $rc -ne 2 ] || [[ "$out" != *"$message"* ]]; then
    echo "FAIL: winrun $*: exit $rc, said: $out"
    status=1
  fi
}
expect "winrun: --winver needs a value" --winver
expect "winrun: --winver needs a value" --winver --prefix /tmp x.exe
expect "winrun: unknown Windows version 'xp'" --winver xp x.exe
expect "winrun: unknown Windows version 'xp'" --winver=xp x.exe
expect "winrun: --prefix needs a value" --prefix
expect "winrun: unknown option '--bogus'" --bogus x.exe
expect "winrun: no PROGRAM given" --winver win98
TARNWICK_WINVER=nt5 expect "unknown Windows version 'nt5'" x.exe
exit $status
