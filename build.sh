#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Torvane and starts it or tests it.
#   bash build.sh run    install what is missing, build, start the program
#   bash build.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")"

build_packages=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core)
test_packages=(locales-all xvfb xdotool xclip x11-utils desktop-file-utils appstream openbox python3
               lintian man-db weston qt6-wayland dbus at-spi2-core python3-pyatspi)

install_missing() { bash tools/install-packages.sh "$@"; }

build() {
  local werror=OFF
  [ "${CI:-}" = true ] && werror=ON
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVANE_WERROR="$werror" >/dev/null
  cmake --build build
}

case "${1:-}" in
  run)
    install_missing "${build_packages[@]}"
    build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "Torvane is built (build/torvane), but it is a desktop program and no display is"
      echo "available here: start it from a graphical session, or under Xvfb with xvfb-run."
      exit 1
    fi
    exec ./build/torvane
    ;;
  test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build
    cd build && ctest --output-on-failure
    ;;
  *)
    echo "usage: bash build.sh run|test" >&2
    exit 2
    ;;
esac
