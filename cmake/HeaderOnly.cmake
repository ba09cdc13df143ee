# torvane_header_only(<package> <target> <folder> <header>)
# <target>, a header-only library, as its package's CMake config gives it; a
# cross build makes it from a copy of <folder>, found as <folder>/<header>.
# The copy, because the config's /usr/include holds glibc's headers, which a cross compiler must not see.
function(torvane_header_only package target folder header)
  if(NOT CMAKE_CROSSCOMPILING)
    find_package(${package} REQUIRED GLOBAL)
    return()
  endif()
  find_path(${package}_HEADERS ${folder}/${header} NO_CMAKE_FIND_ROOT_PATH
            DOC "The folder that holds ${folder}/${header}")
  if(NOT ${package}_HEADERS)
    message(FATAL_ERROR "${folder}/${header} was not found: install it (Debian: see build.sh), "
                        "or name its folder with -D${package}_HEADERS=...")
  endif()
  set(copy ${PROJECT_BINARY_DIR}/header-only)
  file(COPY ${${package}_HEADERS}/${folder} DESTINATION ${copy})
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${copy})
endfunction()
