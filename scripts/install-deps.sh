#!/bin/bash
# Installs everything the build and the test suite need, from Debian's packages.
# Idempotent: when everything is there it exits at once without calling apt.
#
# A failed `apt-get update` (one index that did not download, say) does not
# stop it: the install is tried with the lists there are. A failed install is
# tried again preferring the release's own suite when the update was partial
# (so that amd64 and i386 versions of a library match), then package by
# package to name the ones that cannot be installed.
#
# TW_OS_RELEASE names the os-release file (tests).
set -uo pipefail

SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi

PKGS=(
  mingw-w64-i686-dev g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32
  binutils-mingw-w64-i686
  mingw-w64-x86-64-dev g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32
  binutils-mingw-w64-x86-64
  cmake ninja-build make
  wine wine32:i386 wine64
  xvfb xauth x11-utils imagemagick
  doctest-dev libstb-dev libxml2-utils
  g++ clang libclang-rt-14-dev
  procps util-linux
  python3 ccache
)
APT_OPTIONS=(-y -qq --no-install-recommends)

say() { echo "install-deps: $*"; }

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing_packages() {
  local p
  for p in "${PKGS[@]}"; do
    installed "$p" || echo "$p"
  done
}

# The release's code name (bookworm), empty when unknown.
codename() {
  local file="${TW_OS_RELEASE:-/etc/os-release}"
  [ -r "$file" ] || return 0
  (. "$file" && echo "${VERSION_CODENAME:-}")
}

# apt-get install with the options given before "--" and the packages after it;
# the last error line goes to $last_error.
last_error=""
install() {
  local options=() output rc
  while [ "$1" != "--" ]; do options+=("$1"); shift; done
  shift
  output="$($SUDO apt-get install "${APT_OPTIONS[@]}" "${options[@]}" "$@" 2>&1 >/dev/null)"
  rc=$?
  last_error="$(printf '%s\n' "$output" | grep -E '^(E|W):' | tail -n 1)"
  [ -n "$last_error" ] || last_error="$(printf '%s\n' "$output" | tail -n 1)"
  return $rc
}

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "adding the i386 architecture"
  $SUDO dpkg --add-architecture i386 || { say "dpkg --add-architecture i386 failed"; exit 1; }
  need_update=1
fi

mapfile -t missing < <(missing_packages)
if [ ${#missing[@]} -eq 0 ] && [ $need_update -eq 0 ]; then
  exit 0
fi

say "installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
partial=0
if ! $SUDO apt-get update -qq; then
  partial=1
  say "apt-get update failed (some package lists may be old or missing); trying the install anyway"
fi

[ ${#missing[@]} -eq 0 ] && { say "done"; exit 0; }

release_options=()
release="$(codename)"
if [ -n "$release" ]; then release_options=(-o "APT::Default-Release=$release"); fi

if install -- "${missing[@]}"; then
  say "done"
  exit 0
fi
say "installing them together failed: $last_error"

options=()
if [ $partial -eq 1 ] && [ ${#release_options[@]} -gt 0 ]; then
  say "trying again preferring the $release suite"
  if install "${release_options[@]}" -- "${missing[@]}"; then
    say "done"
    exit 0
  fi
  say "that failed too: $last_error"
  options=("${release_options[@]}")
fi

# One by one, to name the packages that cannot be installed.
failed=()
for p in "${missing[@]}"; do
  installed "$p" && continue
  if ! install "${options[@]}" -- "$p"; then
    failed+=("$p")
    say "$p: $last_error"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  say "could not install: ${failed[*]}"
  exit 1
fi
say "done"
