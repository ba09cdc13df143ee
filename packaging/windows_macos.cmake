# Windows and macOS have no system Qt: the install takes along the Qt
# libraries and plugins the program needs, through Qt's deploy API
# (windeployqt, macdeployqt), and `cpack` in the build folder makes a portable
# zip and an installer on Windows, a disk image on macOS.
# Included from packaging/CMakeLists.txt, where the Linux files are installed.

if(APPLE)
  # The bundle is what a user sees in Finder and the Dock, so it carries the
  # program's name, with an icon made of the same pictures as the others.
  set_target_properties(torvane PROPERTIES OUTPUT_NAME ${PROJECT_NAME} MACOSX_BUNDLE_ICON_FILE ${PROJECT_NAME}.icns)
  set(iconset ${CMAKE_CURRENT_BINARY_DIR}/${PROJECT_NAME}.iconset)
  set(icns ${CMAKE_CURRENT_BINARY_DIR}/${PROJECT_NAME}.icns)
  file(REMOVE_RECURSE ${iconset})
  file(MAKE_DIRECTORY ${iconset})
  # iconutil takes each size under its own name: <points> and <points>@2x.
  foreach(entry IN ITEMS 16:16x16 32:16x16@2x 32:32x32 64:32x32@2x 128:128x128 256:128x128@2x 256:256x256)
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 pixels)
    list(GET entry 1 name)
    set(png ${PROJECT_SOURCE_DIR}/assets/icons/hicolor/${pixels}x${pixels}/apps/torvane.png)
    file(COPY_FILE ${png} ${iconset}/icon_${name}.png)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${png})
  endforeach()
  execute_process(COMMAND iconutil --convert icns --output ${icns} ${iconset} COMMAND_ERROR_IS_FATAL ANY)
  target_sources(torvane PRIVATE ${icns})
  set_source_files_properties(${icns} TARGET_DIRECTORY torvane PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
endif()

# The Visual C++ runtime goes beside the executable, so that the zip runs on a
# machine that never installed Microsoft's redistributable; the universal C
# runtime is part of Windows 10 and later.
if(MSVC)
  set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(CMAKE_INSTALL_UCRT_LIBRARIES OFF)
  include(InstallRequiredSystemLibraries)
endif()

# The deploy script runs at install time, after the executable is in place.
# The windows speak English only, so Qt's own translations stay behind.
# Qt has no deploy tool for a cross build from Linux; there the files go by name.
if(WIN32 AND CMAKE_CROSSCOMPILING)
  include(windows_cross.cmake)
else()
  if(Qt6_VERSION VERSION_GREATER_EQUAL 6.5)
    qt_generate_deploy_app_script(TARGET torvane OUTPUT_SCRIPT deploy_script
                                  NO_TRANSLATIONS NO_COMPILER_RUNTIME NO_UNSUPPORTED_PLATFORM_ERROR)
  else()
    qt_generate_deploy_app_script(TARGET torvane FILENAME_VARIABLE deploy_script NO_UNSUPPORTED_PLATFORM_ERROR)
  endif()
  install(SCRIPT ${deploy_script})
endif()

# macdeployqt rewrites the libraries it copies in, which breaks their
# signatures, and macOS on Apple silicon runs no unsigned code: the whole
# bundle is signed again once it is complete. Without a certificate it is
# signed ad hoc ("-"): it then runs on the machine it was made on, and
# elsewhere once the user allows it. A Developer ID adds the hardened runtime
# and a time stamp, which notarisation requires.
if(APPLE)
  set(TORVANE_MACOS_SIGNING_IDENTITY "-" CACHE STRING "The codesign identity for the bundle; - signs it ad hoc")
  set(sign_options "")
  if(NOT TORVANE_MACOS_SIGNING_IDENTITY STREQUAL "-")
    set(sign_options "--options runtime --timestamp")
  endif()
  set(bundle "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${PROJECT_NAME}.app")
  install(CODE "execute_process(COMMAND codesign --force --deep ${sign_options}
                  --sign \"${TORVANE_MACOS_SIGNING_IDENTITY}\" \"${bundle}\" COMMAND_ERROR_IS_FATAL ANY)
                execute_process(COMMAND codesign --verify --deep --strict \"${bundle}\" COMMAND_ERROR_IS_FATAL ANY)")
endif()

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY ${PROJECT_NAME})
  # A Start menu entry named Torvane for bin\torvane.exe.
  set(CPACK_PACKAGE_EXECUTABLES torvane ${PROJECT_NAME})
  # The installer shows the licence in a Windows text box, which wants CR LF.
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(REPLACE "\n" "\r\n" licence "${licence}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt "${licence}")
  set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
  set(CPACK_NSIS_PACKAGE_NAME ${PROJECT_NAME})
  set(CPACK_NSIS_DISPLAY_NAME ${PROJECT_NAME})
  set(CPACK_NSIS_CONTACT "${TORVANE_MAINTAINER}")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/assets/torvane.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/assets/torvane.ico)
  set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\torvane.exe")
  set(CPACK_NSIS_MUI_FINISHPAGE_RUN torvane.exe)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  # Settings > Apps shows the size installed, in KB, and reads NoModify and
  # NoRepair as numbers, where CPack writes them as text. Uninstalling removes
  # the whole key.
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${PROJECT_NAME})
  set(uninstall_key "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\${PROJECT_NAME}")
  string(APPEND CPACK_NSIS_DEFINES "\n!include FileFunc.nsh")
  # CPack writes these into its configuration file, which reads them again:
  # hence \\\" for a quote and \\\$ for a dollar before a brace.
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
    \\\${GetSize} \\\"$INSTDIR\\\" /S=0K $0 $1 $2
    WriteRegDWORD SHCTX \\\"${uninstall_key}\\\" EstimatedSize $0
    WriteRegDWORD SHCTX \\\"${uninstall_key}\\\" NoModify 1
    WriteRegDWORD SHCTX \\\"${uninstall_key}\\\" NoRepair 1")
  set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
  # The installer is named apart from the zip: torvane-1.00-win64-setup.exe.
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/installer_name.cmake)
elseif(APPLE)
  set(CPACK_GENERATOR DragNDrop)
  set(CPACK_PACKAGE_FILE_NAME torvane-${PROJECT_VERSION}-macos)
  set(CPACK_DMG_VOLUME_NAME ${PROJECT_NAME})
endif()
include(CPack)
