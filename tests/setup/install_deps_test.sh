#!/bin/bash
# scripts/install-deps.sh against a fake apt-get, dpkg and dpkg-query: a partial
# update, a batch that needs the release's own suite, packages that cannot be
# installed, and nothing to do.
#   install_deps_test.sh path/to/install-deps.sh
set -uo pipefail
script="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

mkdir -p "$work/bin"
# apt-get: logs each call; FAKE_UPDATE_RC fails the update; a package of
# FAKE_BROKEN never installs; with FAKE_NEEDS_RELEASE a batch holding
# wine32:i386 fails unless APT::Default-Release is set.
cat > "$work/bin/apt-get" <<'FAKE'
#!/bin/bash
echo "apt-get $*" >> "$FAKE_DIR/log"
if [ "$1" = update ]; then
  [ "${FAKE_UPDATE_RC:-0}" = 0 ] || echo "E: Some index files failed to download." >&2
  exit "${FAKE_UPDATE_RC:-0}"
fi
shift
release=0; packages=()
while [ $# -gt 0 ]; do
  case "$1" in
    -o) [[ "$2" == APT::Default-Release=* ]] && release=1; shift 2 ;;
    -*) shift ;;
    *) packages+=("$1"); shift ;;
  esac
done
for p in "${packages[@]}"; do
  if [[ " ${FAKE_BROKEN:-} " == *" $p "* ]]; then echo "E: Unable to locate package $p" >&2; exit 100; fi
  if [ -n "${FAKE_NEEDS_RELEASE:-}" ] && [ $release = 0 ] && [ "$p" = wine32:i386 ]; then
    echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100
  fi
done
printf '%s\n' "${packages[@]}" >> "$FAKE_DIR/installed"
FAKE
cat > "$work/bin/dpkg-query" <<'FAKE'
#!/bin/bash
grep -qxF -- "${!#}" "$FAKE_DIR/installed" 2>/dev/null || exit 1
printf 'install ok installed'
FAKE
cat > "$work/bin/dpkg" <<'FAKE'
#!/bin/bash
echo "dpkg $*" >> "$FAKE_DIR/log"
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
FAKE
printf '#!/bin/bash\nexec "$@"\n' > "$work/bin/sudo"
chmod +x "$work/bin/"*
printf 'NAME="Debian GNU/Linux"\nVERSION_CODENAME=bookworm\n' > "$work/os-release"

# The package list of the script, all installed.
all_packages() { sed -n '/^PKGS=(/,/^)/p' "$script" | sed '1d;$d' | tr -s ' ' '\n' | sed '/^$/d'; }

# run NAME EXPECTED_STATUS [VAR=VALUE...]: runs the script in a fresh fake
# machine where everything but ninja-build and wine32:i386 (or $MISSING) is installed.
run() {
  local name="$1" expected="$2"; shift 2
  case_dir="$work/$name"
  mkdir -p "$case_dir"
  local p
  for p in $(all_packages); do
    [[ " ${MISSING-ninja-build wine32:i386} " == *" $p "* ]] || echo "$p"
  done > "$case_dir/installed"
  : > "$case_dir/log"
  env PATH="$work/bin:$PATH" FAKE_DIR="$case_dir" TW_OS_RELEASE="$work/os-release" "$@" \
    bash "$script" > "$case_dir/out" 2>&1
  status=$?
  if [ "$status" != "$expected" ]; then
    fail "$name: exit status $status, expected $expected"
  fi
}
fail() {
  echo "FAIL $*"
  sed 's/^/    out: /' "$case_dir/out"
  sed 's/^/    log: /' "$case_dir/log"
  failures=$((failures + 1))
}
expect_out() { grep -qF -- "$2" "$case_dir/out" || fail "$1: no line with '$2'"; }
expect_no_out() { ! grep -qF -- "$2" "$case_dir/out" || fail "$1: a line with '$2'"; }
expect_log() { grep -qF -- "$2" "$case_dir/log" || fail "$1: apt-get was not called with '$2'"; }
expect_no_log() { ! grep -qF -- "$2" "$case_dir/log" || fail "$1: apt-get was called with '$2'"; }

# Partial update, the batch holds broken packages, the release's suite mends it.
run partial-update 0 FAKE_UPDATE_RC=100 FAKE_NEEDS_RELEASE=1
expect_out partial-update "apt-get update failed"
expect_log partial-update "apt-get install -y -qq --no-install-recommends ninja-build wine32:i386"
expect_log partial-update "-o APT::Default-Release=bookworm ninja-build wine32:i386"
[ "$(grep -c 'update failed' "$case_dir/out")" = 1 ] || fail "partial-update: the update failure is not one line"
grep -qx wine32:i386 "$case_dir/installed" || fail "partial-update: wine32:i386 not installed"

# A partial update and a package that installs in no way: named, exit 1.
run broken 1 FAKE_UPDATE_RC=100 FAKE_BROKEN=wine32:i386
expect_out broken "could not install: wine32:i386"
expect_out broken "Unable to locate package wine32:i386"
expect_no_out broken "could not install: ninja-build"
grep -qx ninja-build "$case_dir/installed" || fail "broken: ninja-build, which installs alone, was not installed"

# A complete update: no retry with the release preferred; the culprit named.
run full-update 1 FAKE_BROKEN=ninja-build
expect_no_log full-update "Default-Release"
expect_no_out full-update "update failed"
expect_out full-update "could not install: ninja-build"

# The batch installs after a partial update: success, no retries.
run batch-ok 0 FAKE_UPDATE_RC=100
[ "$(grep -c 'apt-get install' "$case_dir/log")" = 1 ] || fail "batch-ok: more than one install"

# Everything installed: exit 0 at once, apt never called.
MISSING="" run nothing-to-do 0
expect_no_log nothing-to-do "apt-get"
[ ! -s "$case_dir/out" ] || fail "nothing-to-do: printed something"

[ $failures = 0 ] && echo "install-deps: all cases passed"
exit $((failures > 0))
