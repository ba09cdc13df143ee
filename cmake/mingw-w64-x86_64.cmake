# Cross-builds for 64-bit Windows with MinGW-w64 (Debian g++-mingw-w64-x86-64-posix)
# and runs the test programs under Wine:
#   cmake -S . -B build-mingw -G Ninja -DTORVANE_GUI=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime, libgcc and winpthread linked in, so that a program runs
# without their DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# ctest runs each test program through Wine, in a Wine prefix of the build
# tree's own (made on the first run, in about 8 s) and without Wine's chatter.
find_program(TORVANE_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all ${TORVANE_WINE})
endif()
