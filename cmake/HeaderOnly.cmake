# torvane_header_only(<target> <folder> <header>)
# An interface target for a header-only library, found as <folder>/<header>
# on the build machine. Its folder is copied into the build tree and included
# from there, so that a cross compiler sees that library alone and never the
# build machine's other headers (/usr/include also holds glibc's).
function(torvane_header_only target folder header)
  find_path(${target}_ROOT ${folder}/${header} NO_CMAKE_FIND_ROOT_PATH
            DOC "The folder that holds ${folder}/${header}")
  if(NOT ${target}_ROOT)
    message(FATAL_ERROR "${folder}/${header} was not found: install it (Debian: see build.sh), "
                        "or name its folder with -D${target}_ROOT=...")
  endif()
  set(copy ${PROJECT_BINARY_DIR}/header-only)
  file(COPY ${${target}_ROOT}/${folder} DESTINATION ${copy})
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${copy})
endfunction()
