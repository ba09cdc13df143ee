#!/usr/bin/env bash
# Builds Qt (qtbase) for 64-bit Windows with MinGW-w64 (posix threads) from
# Debian's own source of the installed qt6-base-dev, with only what Torvane
# needs, and installs it into a cache folder outside the clone:
#   ${XDG_CACHE_HOME:-~/.cache}/torvane/qt-<version>-x86_64-w64-mingw32-posix-<hash of this script>
# A folder that is complete is reused; a change to this script names a new one.
# Prints the folder on its last line. Needs the packages that
# tools/install-packages.sh installs below, and 2 GB free while it builds.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bash "$repo/tools/install-packages.sh" qt6-base-dev g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  cmake ninja-build dpkg-dev perl xz-utils >&2

target=x86_64-w64-mingw32
version=$(dpkg-query -W -f='${Version}' qt6-base-dev) # 6.4.2+dfsg-10
source_package=$(dpkg-query -W -f='${source:Package}' qt6-base-dev)
qt_version=${version%%[+~-]*}
hash=$(sha256sum "$0" | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/torvane
prefix=$cache/qt-$qt_version-$target-posix-$hash

if [ -f "$prefix/.complete" ]; then
  echo "Qt $qt_version for $target is built already" >&2
  echo "$prefix"
  exit 0
fi

work=$cache/work-$hash
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache" "$work/apt/parts"
cd "$work"
started=$(date +%s)

# The machine's own archives, read from its apt configuration, as source
# entries in a list of this build's own: the machine's lists stay as they are.
eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
{
  [ -f "$list" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list"
  for file in "$parts"*.list; do
    [ -f "$file" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file"
  done
} >apt/sources.list
for file in "$parts"*.sources; do
  [ -f "$file" ] || continue
  # Each deb822 stanza whose Types has deb, copied with Types: deb-src.
  awk -v RS= -v ORS='\n\n' '
    /(^|\n)Enabled:[[:space:]]*no/ { next }
    match($0, /(^|\n)Types:[^\n]*/) {
      types = substr($0, RSTART, RLENGTH)
      if (types !~ /[[:space:]]deb([[:space:]]|$)/) next
      sub(/(^|\n)Types:[^\n]*/, (RSTART > 1 ? "\n" : "") "Types: deb-src")
      print
    }' "$file" >"apt/parts/$(basename "$file")"
done
apt_options=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=$work/apt/parts"
             -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache" -o APT::Sandbox::User=root)
echo "Fetching the source of $source_package $version" >&2
apt-get -qq "${apt_options[@]}" update >&2
apt-get -qq "${apt_options[@]}" source --download-only "$source_package=$version" >&2
# apt has checked the files against the archive's signed index; dpkg-source,
# without Debian's keyring, would only warn that it cannot check the .dsc.
dpkg-source --skip-patches -x ./*.dsc src >source.log 2>&1
found=$(cd src && dpkg-parsechangelog -S Version)
if [ "$found" != "$version" ]; then
  echo "The source is $source_package $found, the installed qt6-base-dev $version" >&2
  exit 1
fi

# Debian's patches, each one that applies; the others are named and left out.
while read -r patch; do
  case "$patch" in '' | '#'*) continue ;; esac
  if patch -d src -p1 -s -f --dry-run <"src/debian/patches/$patch" >/dev/null; then
    patch -d src -p1 -s -f <"src/debian/patches/$patch"
  else
    echo "Left out Debian's patch $patch: it does not apply" >&2
  fi
done <src/debian/patches/series

mkdir -p "$prefix"
cat >"$prefix/mingw-w64-toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $target-gcc-posix)
set(CMAKE_CXX_COMPILER $target-g++-posix)
set(CMAKE_RC_COMPILER $target-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$target)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

options=(
  -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-toolchain.cmake"
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$prefix"
  # moc, rcc and uic of the installed Qt of the same version run on this machine.
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
  # The libraries that Debian's source carries, built in.
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_png=OFF
  -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_doubleconversion=OFF
  # Modules Torvane does not use: it keeps no files and settings, talks to no
  # network or bus, prints nothing and draws with the raster engine.
  -DFEATURE_network=OFF
  -DFEATURE_sql=OFF # Debian's source carries no SQLite either
  -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_printsupport=OFF
  -DINPUT_opengl=no # as configure's -no-opengl: no dynamic OpenGL either
  -DFEATURE_vulkan=OFF
  # Nor these parts of the others: the windows are widgets placed by hand, not
  # a graphics scene; no document is written or read (PDF, ODF, Markdown);
  # no item model is tested.
  -DFEATURE_graphicsview=OFF
  -DFEATURE_pdf=OFF
  -DFEATURE_textodfwriter=OFF
  -DFEATURE_textmarkdownreader=OFF
  -DFEATURE_textmarkdownwriter=OFF
  -DFEATURE_itemmodeltester=OFF
  -DFEATURE_zstd=OFF        # compressed resources: Torvane has none
  -DFEATURE_jpeg=OFF        # the pictures are compiled in; the tests read GIF and ICO files
  -DFEATURE_androiddeployqt=OFF # Debian's cross.patch would build it for Windows
  # Debian's source carries no wintab.h, which tablet events need on Windows.
  -DFEATURE_tabletevent=OFF
  # The Direct2D platform is not used, and without it Qt 6.4's qwindows.dll
  # fails to link with DirectWrite 3, so that goes too.
  -DFEATURE_direct2d=OFF
  -DFEATURE_directwrite3=OFF
)
echo "Configuring Qt $qt_version for $target in $work/build" >&2
cmake -S src -B build -G Ninja "${options[@]}" >build.log 2>&1 || {
  tail -30 build.log >&2
  exit 1
}
echo "Building Qt (about 10 minutes on 2 cores)" >&2
cmake --build build --parallel "$(nproc)" >>build.log 2>&1 || {
  tail -30 build.log >&2
  exit 1
}
cmake --install build --strip >>build.log 2>&1
echo "Qt $qt_version for $target built in $(($(date +%s) - started)) s, $(du -sh "$prefix" | cut -f1)" >&2
touch "$prefix/.complete"
cd "$cache"
rm -rf "$work"
echo "$prefix"
