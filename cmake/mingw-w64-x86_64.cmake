# Cross-builds for 64-bit Windows with MinGW-w64 (Debian g++-mingw-w64-x86-64-posix)
# and runs the programs it builds under Wine. The core alone:
#   cmake -S . -B build-mingw -G Ninja -DTORVANE_GUI=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The whole program, chain-loaded by the toolchain file of a Qt built for
# MinGW-w64 (tools/build-qt-mingw.sh; `bash build.sh windows` does all this):
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=QT/lib/cmake/Qt6/qt.toolchain.cmake \
#         -DQT_CHAINLOAD_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs link the C++ runtime, libgcc and winpthread as DLLs, the ones
# Qt's DLLs link too, so that a process holds one copy of each. Where they are:
set(TORVANE_MINGW_RUNTIME "")
foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE path
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(path "${path}" ABSOLUTE)
  list(APPEND TORVANE_MINGW_RUNTIME ${path})
endforeach()

# ctest runs each test program through Wine, in a Wine prefix of the build
# tree's own (made on the first run, in about 8 s), without Wine's chatter and
# without its offer to fetch .NET and Gecko. Wine finds the DLLs in the folders
# of WINEPATH: the runtime's and, chain-loaded from Qt's toolchain file, Qt's.
find_program(TORVANE_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TORVANE_WINE)
  set(dll_folders "")
  get_filename_component(qt_bin "${CMAKE_TOOLCHAIN_FILE}/../../../../bin" ABSOLUTE)
  foreach(folder IN LISTS TORVANE_MINGW_RUNTIME qt_bin)
    if(folder MATCHES "[.]dll$")
      get_filename_component(folder "${folder}" DIRECTORY)
    endif()
    if(EXISTS "${folder}")
      list(APPEND dll_folders "Z:${folder}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES dll_folders)
  string(REPLACE ";" "\\;" dll_folders "${dll_folders}")
  set(TORVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEPREFIX=${TORVANE_WINE_PREFIX} WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= "WINEPATH=${dll_folders}" ${TORVANE_WINE})
endif()
