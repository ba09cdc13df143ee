#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Torvane and starts it or tests it.
#   bash build.sh run      install what is missing, build, start the program
#   bash build.sh test     install what is missing, build, run every test
#   bash build.sh windows  install what is missing, build Qt for Windows once
#                          (tools/build-qt-mingw.sh), cross-build the program
#                          with MinGW-w64 into build-windows/, run its tests
#                          under Wine and make its zip and installer
set -euo pipefail
cd "$(dirname "$0")"

build_packages=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core libfast-float-dev doctest-dev)
test_packages=(locales-all xvfb xdotool xclip x11-utils desktop-file-utils appstream openbox python3
               lintian man-db weston qt6-wayland dbus at-spi2-core python3-pyatspi)
windows_packages=(cmake ninja-build g++-mingw-w64-x86-64-posix libfast-float-dev doctest-dev wine nsis fonts-wine
                  fonts-dejavu-core xvfb xauth openbox xdotool xclip x11-utils python3 icoutils)

install_missing() { bash tools/install-packages.sh "$@"; }

werror=OFF
[ "${CI:-}" = true ] && werror=ON

build() {
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
  windows)
    install_missing "${windows_packages[@]}"
    qt=$(bash tools/build-qt-mingw.sh | tail -n 1)
    cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVANE_WERROR="$werror" \
      -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
      -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build build-windows
    # The tests make the zip and the installer first, and try both under Wine.
    (cd build-windows && ctest --output-on-failure)
    echo "The Windows packages:"
    ls -d "$PWD"/build-windows/packages/torvane-*-win64{.zip,-setup.exe}
    ;;
  *)
    echo "usage: bash build.sh run|test|windows" >&2
    exit 2
    ;;
esac
