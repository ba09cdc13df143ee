#!/usr/bin/env bash
# Builds torvane if needed, runs it on Xvfb with the Openbox window manager and
# saves a picture of each window to docs/screenshots/: the splash window, the
# main window in ET mode and in HP mode with results, and the FAQ window; then
# the same (but HP mode) with a 20 pt desktop font and in a dark colour scheme.
# `bash tools/screenshots.sh windows` takes the splash window and ET mode of
# the Windows program under Wine instead, from the zip that `bash build.sh
# windows` makes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core \
  xvfb openbox xdotool xclip x11-utils imagemagick optipng qt6ct python3

if [ "${1:-}" = windows ]; then
  ls build-windows/packages/torvane-*-win64.zip >/dev/null 2>&1 || bash build.sh windows
  python3 tools/screenshots.py --windows build-windows/packages/torvane-*-win64.zip docs/screenshots
  exit
fi

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target torvane

python3 tools/screenshots.py build/torvane docs/screenshots
