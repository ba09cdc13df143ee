#!/usr/bin/env bash
# Builds torvane if needed, runs it on Xvfb with the Openbox window manager and
# saves a picture of each window to docs/screenshots/: the splash window, the
# main window in ET mode and in HP mode with results, and the FAQ window.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core
          xvfb openbox xdotool xclip x11-utils imagemagick python3)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target torvane

python3 tools/screenshots.py build/torvane docs/screenshots
