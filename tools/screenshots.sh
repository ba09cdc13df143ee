#!/usr/bin/env bash
# Builds torvane if needed, runs it on Xvfb with the Openbox window manager and
# saves a picture of each window to docs/screenshots/: the splash window, the
# main window in ET mode and in HP mode with results, and the FAQ window; then
# the same (but HP mode) with a 20 pt desktop font and in a dark colour scheme.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core \
  xvfb openbox xdotool xclip x11-utils imagemagick optipng qt6ct python3

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target torvane

python3 tools/screenshots.py build/torvane docs/screenshots
