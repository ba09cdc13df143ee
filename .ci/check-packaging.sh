#!/usr/bin/env bash
# Runs the Windows and macOS packaging rules (packaging/windows_macos.cmake)
# here on Linux, as far as they go without Qt for those systems: a stand-in
# program, a stand-in for Qt's deploy script that leaves a mark, and stand-ins
# for Apple's iconutil and codesign that record how they are called. CPack
# makes the real zip, and the real NSIS installer with Debian's makensis.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

fail() {
  echo "FAIL: $*"
  exit 1
}

bash tools/install-packages.sh nsis
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/src" "$scratch/bin"
ln -s "$repo/LICENSE" "$repo/assets" "$scratch/src/"
echo 'int main() { return 0; }' >"$scratch/src/main.cpp"
cat >"$scratch/src/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(Torvane VERSION 1.00 LANGUAGES CXX DESCRIPTION "Stand-in")
set(${SYSTEM} 1)
add_executable(torvane main.cpp)
set(Qt6_VERSION 6.8.3)
function(qt_generate_deploy_app_script)
  cmake_parse_arguments(arg "NO_TRANSLATIONS;NO_COMPILER_RUNTIME;NO_UNSUPPORTED_PLATFORM_ERROR"
                        "TARGET;OUTPUT_SCRIPT" "" ${ARGN})
  if(arg_UNPARSED_ARGUMENTS OR NOT arg_TARGET STREQUAL "torvane")
    message(FATAL_ERROR "qt_generate_deploy_app_script(${ARGN})")
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/deploy.cmake [[file(TOUCH "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/deployed")]])
  set(${arg_OUTPUT_SCRIPT} ${CMAKE_BINARY_DIR}/deploy.cmake PARENT_SCOPE)
endfunction()
add_subdirectory(${REPO}/packaging packaging)
EOF
cat >"$scratch/bin/iconutil" <<'EOF'
#!/bin/sh
# iconutil --convert icns --output FILE FOLDER
ls "$5" >"$(dirname "$0")/iconset" && touch "$4"
EOF
cat >"$scratch/bin/codesign" <<'EOF'
#!/bin/sh
echo "$*" >>"$(dirname "$0")/codesign.log"
EOF
chmod +x "$scratch/bin/iconutil" "$scratch/bin/codesign"
export PATH=$scratch/bin:$PATH

echo "== Windows: the zip and the NSIS installer"
win=$scratch/windows
cmake -S "$scratch/src" -B "$win" -DSYSTEM=WIN32 -DREPO="$repo" >/dev/null
cmake --build "$win" >/dev/null
grep -q '^FILEVERSION 1,0,0,0$' "$win/packaging/torvane.rc" || fail "the version record does not hold 1.00"
(cd "$win" && cpack -B out >cpack.log 2>&1) || { cat "$win/cpack.log"; fail "cpack"; }
listing=$(unzip -l "$win"/out/torvane-1.00-*.zip)
for file in bin/torvane deployed; do
  grep -q "/$file\$" <<<"$listing" || fail "the zip lacks $file"
done
ls "$win"/out/torvane-1.00-*.exe >/dev/null || fail "no installer"
nsi=$(cat "$win"/out/_CPack_Packages/*/NSIS/project.nsi)
for line in 'InstallDir "$PROGRAMFILES64\Torvane"' \
  'CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Torvane.lnk" "$INSTDIR\bin\torvane.exe"' \
  "!define MUI_ICON \"$scratch/src/assets/torvane.ico\"" '!insertmacro MUI_PAGE_LICENSE'; do
  grep -qF "$line" <<<"$nsi" || fail "the installer script lacks: $line"
done

echo "== macOS: the bundle's icon and signature"
mac=$scratch/macos
cmake -S "$scratch/src" -B "$mac" -DSYSTEM=APPLE -DREPO="$repo" >/dev/null
cmake --build "$mac" >/dev/null
DESTDIR=$scratch/dest cmake --install "$mac" --prefix /stand-in >/dev/null
[ "$(wc -l <"$scratch/bin/iconset")" -eq 7 ] || fail "iconutil was not given the seven icon sizes"
[ -f "$scratch/dest/stand-in/deployed" ] || fail "the deploy script did not run"
printf '%s\n' "--force --deep --sign - $scratch/dest/stand-in/Torvane.app" \
  "--verify --deep --strict $scratch/dest/stand-in/Torvane.app" | diff - "$scratch/bin/codesign.log" ||
  fail "the bundle is not signed ad hoc and verified after the deploy script"
grep -q 'set(CPACK_GENERATOR "DragNDrop")' "$mac/CPackConfig.cmake" || fail "cpack does not make a disk image"
echo "the Windows and macOS packaging rules run"
