# The Windows program folder and its packages: a portable zip and an NSIS installer, both made
# by CPack from the same install tree (ampelon.exe, Qt's libraries and plugins, the compiler's
# runtime libraries, the licence and the third-party notices).

get_target_property(ampelon_qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT ampelon_qt_core_dll)
  get_target_property(ampelon_qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(ampelon_qt_bin "${ampelon_qt_core_dll}" DIRECTORY)
get_filename_component(ampelon_qt_prefix "${ampelon_qt_bin}" DIRECTORY)

install(FILES
  "${ampelon_qt_bin}/Qt6Core.dll"
  "${ampelon_qt_bin}/Qt6Gui.dll"
  "${ampelon_qt_bin}/Qt6Widgets.dll"
  "${ampelon_qt_bin}/Qt6Network.dll"
  DESTINATION .)
install(FILES "${ampelon_qt_prefix}/plugins/platforms/qwindows.dll" DESTINATION platforms)
if(EXISTS "${ampelon_qt_prefix}/plugins/styles/qwindowsvistastyle.dll")
  install(FILES "${ampelon_qt_prefix}/plugins/styles/qwindowsvistastyle.dll" DESTINATION styles)
endif()

# The compiler's runtime, found where the cross compiler keeps it.
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                  OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
    message(FATAL_ERROR "The compiler's ${runtime} was not found")
  endif()
  install(FILES "${runtime_path}" DESTINATION .)
endforeach()

# The licence and the notices of everything else shipped, with the licence texts they name,
# taken from the Debian packages the libraries were built from.
function(ampelon_package_version package result)
  execute_process(COMMAND dpkg-query -W "--showformat=\${source:Package} \${source:Version}"
                          ${package}
                  OUTPUT_VARIABLE version RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "The Debian package ${package} is not installed (scripts/setup-windows)")
  endif()
  set(${result} "${version}" PARENT_SCOPE)
endfunction()
ampelon_package_version(libqt6core6 AMPELON_QT_SOURCE)
ampelon_package_version(gcc-mingw-w64-x86-64-posix-runtime AMPELON_GCC_SOURCE)
ampelon_package_version(mingw-w64-x86-64-dev AMPELON_MINGW_SOURCE)
ampelon_package_version(nsis AMPELON_NSIS_SOURCE)
ampelon_package_version(nlohmann-json3-dev AMPELON_JSON_SOURCE)
# SQLite and SQLiteCpp come from scripts/build-sqlite-windows, which keeps beside them the
# version and the copyright record of the Debian source package each was built from.
set(ampelon_sqlite_doc "${AMPELON_SQLITE_WINDOWS_PREFIX}/share/doc")
foreach(package sqlite3 sqlitecpp)
  if(NOT EXISTS "${ampelon_sqlite_doc}/${package}/debian-source")
    message(FATAL_ERROR "${ampelon_sqlite_doc}/${package}/debian-source is missing: pass "
                        "-DAMPELON_SQLITE_WINDOWS_PREFIX from scripts/build-sqlite-windows")
  endif()
  string(TOUPPER "${package}" name)
  file(STRINGS "${ampelon_sqlite_doc}/${package}/debian-source" AMPELON_${name}_SOURCE
       LIMIT_COUNT 1)
endforeach()
configure_file("${PROJECT_SOURCE_DIR}/data/windows/THIRD-PARTY-NOTICES.txt.in"
               "${PROJECT_BINARY_DIR}/THIRD-PARTY-NOTICES.txt" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/THIRD-PARTY-NOTICES.txt" DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . RENAME LICENSE.txt)
foreach(text IN ITEMS
        "/usr/share/common-licenses/LGPL-3=LGPL-3.0.txt"
        "/usr/share/common-licenses/GPL-3=GPL-3.0.txt"
        "/usr/share/doc/libqt6core6/copyright=Qt-copyright.txt"
        "/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright=GCC-runtime-copyright.txt"
        "/usr/share/doc/mingw-w64-x86-64-dev/copyright=MinGW-w64-copyright.txt"
        "/usr/share/doc/nlohmann-json3-dev/copyright=nlohmann-json-copyright.txt"
        "${ampelon_sqlite_doc}/sqlite3/copyright=SQLite-copyright.txt"
        "${ampelon_sqlite_doc}/sqlitecpp/copyright=SQLiteCpp-copyright.txt")
  string(REPLACE "=" ";" text "${text}")
  list(GET text 0 source)
  list(GET text 1 name)
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "${source} is missing (scripts/setup-windows installs its package)")
  endif()
  install(FILES "${source}" DESTINATION LICENSES RENAME "${name}")
endforeach()

# CPack strips only the program; the libraries are stripped here, as they are installed.
install(CODE "
  file(GLOB_RECURSE ampelon_dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
  foreach(dll IN LISTS ampelon_dlls)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${dll}\" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
")

set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_NAME "Ampelon")
set(CPACK_PACKAGE_VENDOR "Trevanix")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "Ampelon-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Ampelon")
set(CPACK_PACKAGE_EXECUTABLES "ampelon" "Ampelon" "ampelon-viewer" "Ampelon Viewer")
set(CPACK_STRIP_FILES ON)
# The zip unpacks into a folder of its own; the installer is named as a setup program.
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/PackagingWindowsGenerators.cmake")
set(CPACK_NSIS_PACKAGE_NAME "Ampelon")
set(CPACK_NSIS_DISPLAY_NAME "Ampelon ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/data/windows/ampelon.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/data/windows/ampelon.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME "ampelon.exe")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN "ampelon.exe")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
# The installer's own script (cmake/nsis/NSIS.template.in): for everyone into Program Files, or
# for one account into %LOCALAPPDATA%\Programs (/AllUsers, /CurrentUser); an earlier version
# in the same place is removed first, as its registry key does not change with the version.
set(CPACK_MODULE_PATH "${PROJECT_SOURCE_DIR}/cmake/nsis")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Ampelon")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer for a 64-bit program (and no 32-bit layer needed to run it).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/windows-package")
include(CPack)
