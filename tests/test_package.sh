#!/bin/sh
# Builds the Debian package of a built tree into a scratch folder and checks
# it as Debian would, with lintian: test_package.sh CPACK BUILD_DIR
# Ends with status 77 (skipped) where lintian or dpkg-deb is missing.
set -eu
cpack=$1
build=$2

for tool in lintian dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: the package is not checked"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

"$cpack" --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$scratch"/torvane_*.deb)

# Every tag lintian knows, at every level; no error and no warning may show.
# Among them: a binary without a manual page, and a page that man cannot
# render without a warning.
lintian -EvIL +pedantic "$deb" 2>&1 | grep -v 'running with root privileges' | tee "$scratch/lintian.log"
! grep -E '^[EW]: ' "$scratch/lintian.log" >/dev/null || fail "lintian reports an error or a warning"

dpkg-deb -f "$deb" Recommends | grep -qw qt6-wayland || fail "the package does not recommend qt6-wayland"
echo "the package is clean"
