#!/bin/sh
# Installs a built tree into a scratch prefix and checks that a Linux desktop
# finds everything it needs: test_install.sh CMAKE BUILD_DIR
set -eu
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/torvane" ] || fail "bin/torvane is not installed"
desktop=$prefix/share/applications/io.github.torvane.Torvane.desktop
metainfo=$prefix/share/metainfo/io.github.torvane.Torvane.metainfo.xml
[ -f "$desktop" ] || fail "the desktop entry is not installed"
[ -f "$metainfo" ] || fail "the AppStream metainfo is not installed"
grep -qx 'Exec=torvane' "$desktop" || fail "the desktop entry does not start torvane"
grep -qx 'Icon=torvane' "$desktop" || fail "the desktop entry does not name the torvane icon"
grep -q '<release version="1.00"' "$metainfo" || fail "the metainfo does not list release 1.00"
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/torvane.png
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate is not installed: the desktop entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli validate"
else
  echo "appstreamcli is not installed: the metainfo is not validated"
fi
echo "installed tree is complete"
