# Deployment of a build cross-compiled with MinGW-w64 against a Qt built for
# it (tools/build-qt-mingw.sh), where Qt has no deploy tool. Beside
# bin\torvane.exe go the Qt DLLs it links and the MinGW runtime DLLs that it
# and they link; the platform and style plugins it loads go into the folders
# beside it where Qt looks for them, so no qt.conf is needed. The pictures are
# compiled in, so no image plugin goes along.
# Included from windows_macos.cmake.
install(FILES $<TARGET_RUNTIME_DLLS:torvane> DESTINATION ${CMAKE_INSTALL_BINDIR})
# Debian's runtime DLLs carry their debugging symbols: the packages hold them stripped.
set(runtime_dlls "")
foreach(dll IN LISTS TORVANE_MINGW_RUNTIME)
  get_filename_component(name ${dll} NAME)
  set(stripped ${CMAKE_CURRENT_BINARY_DIR}/runtime/${name})
  add_custom_command(OUTPUT ${stripped} COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${stripped} ${dll}
                     DEPENDS ${dll} VERBATIM)
  list(APPEND runtime_dlls ${stripped})
endforeach()
add_custom_target(torvane_runtime_dlls ALL DEPENDS ${runtime_dlls})
install(FILES ${runtime_dlls} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)

# The packages' names say what they hold: torvane-1.00-win64.zip.
set(CPACK_SYSTEM_NAME win64)
# A 64-bit installer for the 64-bit program, from Debian's NSIS, which carries
# the 64-bit stubs; a 64-bit Wine runs it too.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The packages hold the executable stripped, as Qt's DLLs are.
set(CPACK_STRIP_FILES ON)
