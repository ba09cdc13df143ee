#!/bin/sh
# Builds the artwork generator and draws assets/ again: tools/generate_assets.sh [BUILD_DIR]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-tools}
bash "$root/tools/install-packages.sh" cmake ninja-build g++ qt6-base-dev libgl-dev libgif-dev fonts-dejavu-core
cmake -S "$root" -B "$build" -G Ninja -DTORVANE_BUILD_TOOLS=ON -DTORVANE_BUILD_TESTS=OFF
cmake --build "$build" --target torvane_artwork
QT_QPA_PLATFORM=offscreen "$build/tools/torvane_artwork" "$root/assets"
