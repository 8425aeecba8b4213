# Desktop integration files and the Debian package (CPack DEB generator).
if(NOT AMPELON_WITH_QT)
  return()
endif()
if(WIN32)
  include(cmake/PackagingWindows.cmake)
  return()
endif()

include(GNUInstallDirs)

set(AMPELON_APP_ID "org.trevanix.Ampelon")
set(AMPELON_PACKAGE_MAINTAINER "Trevanix <packaging@trevanix.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(AMPELON_PROJECT_URL "https://trevanix.invalid/ampelon"
    CACHE STRING "Where Ampelon is published: the metainfo's links and its screenshot")

set(ampelon_data "${PROJECT_SOURCE_DIR}/data")
install(FILES "${ampelon_data}/linux/${AMPELON_APP_ID}.desktop"
              "${ampelon_data}/linux/${AMPELON_APP_ID}Viewer.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
configure_file("${ampelon_data}/linux/${AMPELON_APP_ID}.metainfo.xml.in"
               "${PROJECT_BINARY_DIR}/data/linux/${AMPELON_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/data/linux/${AMPELON_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${ampelon_data}/icons/ampelon-16.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps"
        RENAME "${AMPELON_APP_ID}.png")
install(FILES "${ampelon_data}/linux/${AMPELON_APP_ID}.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")

# The documents every Debian package carries: the copyright in Debian's machine-readable format
# and the changelog, compressed as Debian wants it (gzip -9n: no name, no time stamp).
set(ampelon_doc_dir "${CMAKE_INSTALL_DATADIR}/doc/ampelon")
install(FILES "${ampelon_data}/linux/copyright" DESTINATION "${ampelon_doc_dir}")
find_program(AMPELON_GZIP gzip REQUIRED)
add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/changelog.gz"
                   COMMAND "${CMAKE_COMMAND}" -E copy "${ampelon_data}/linux/changelog"
                           "${PROJECT_BINARY_DIR}/changelog"
                   COMMAND "${AMPELON_GZIP}" -9nf "${PROJECT_BINARY_DIR}/changelog"
                   DEPENDS "${ampelon_data}/linux/changelog"
                   VERBATIM)
add_custom_target(ampelon_changelog ALL DEPENDS "${PROJECT_BINARY_DIR}/changelog.gz")
install(FILES "${PROJECT_BINARY_DIR}/changelog.gz" DESTINATION "${ampelon_doc_dir}")

# ampelon_add_manual_page(PROGRAM INCLUDE): PROGRAM's manual page, section 1, made by help2man
# from the program's own --help and --version, with the sections of the help2man include file
# INCLUDE (data/linux/*.h2m) around them.
find_program(AMPELON_HELP2MAN help2man)
function(ampelon_add_manual_page program include)
  # A sanitized build is never packaged (and its program would run with the sanitizers here).
  if(AMPELON_SANITIZE)
    return()
  endif()
  if(NOT AMPELON_HELP2MAN)
    message(WARNING "help2man is missing (scripts/setup installs it): "
                    "no manual page for ${program}")
    return()
  endif()
  set(page "${PROJECT_BINARY_DIR}/man/${program}.1")
  add_custom_command(OUTPUT "${page}.gz"
                     COMMAND "${AMPELON_HELP2MAN}" --no-info --section=1 "--include=${include}"
                             "--output=${page}" "$<TARGET_FILE:${program}>"
                     COMMAND "${AMPELON_GZIP}" -9nf "${page}"
                     DEPENDS ${program} "${include}"
                     VERBATIM)
  add_custom_target(${program}_manual_page ALL DEPENDS "${page}.gz")
  install(FILES "${page}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endfunction()
ampelon_add_manual_page(ampelon "${ampelon_data}/linux/ampelon.h2m")
if(TARGET ampelon-viewer)
  ampelon_add_manual_page(ampelon-viewer "${ampelon_data}/linux/ampelon-viewer.h2m")
endif()

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "ampelon")
set(CPACK_PACKAGE_VENDOR "Trevanix")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${AMPELON_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "battery charge monitor for serial-port chargers")
# Debian wants the lines of the long description to be at most 80 columns wide.
set(CPACK_PACKAGE_DESCRIPTION
    "Ampelon reads the measurements that a battery-charging device sends\n"
    "over a serial port and charts the voltage against the sample number\n"
    "once a second. Readings can be saved as text graph logs and loaded again.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME "ampelon")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${AMPELON_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Depends comes from the linked libraries, through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# A source package would otherwise sweep up build folders and the repository itself.
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

include(CPack)
