#!/usr/bin/env bash
# Builds the named targets Release, with the benchmarks, in build-bench/: the
# same compiler and flags as the program the README builds.
#   bash bench/build-bench.sh TARGET...
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-packages.sh cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core \
  libfast-float-dev libbenchmark-dev libxcb1-dev libxcb-damage0-dev xvfb
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVANE_BUILD_BENCH=ON \
  -DTORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench --target "$@" >/dev/null
