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

set(ampelon_data "${PROJECT_SOURCE_DIR}/data")
install(FILES "${ampelon_data}/linux/${AMPELON_APP_ID}.desktop"
              "${ampelon_data}/linux/${AMPELON_APP_ID}Viewer.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${ampelon_data}/linux/${AMPELON_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${ampelon_data}/icons/ampelon-16.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps"
        RENAME "${AMPELON_APP_ID}.png")
install(FILES "${ampelon_data}/linux/${AMPELON_APP_ID}.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "ampelon")
set(CPACK_PACKAGE_VENDOR "Trevanix")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${AMPELON_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "battery charge monitor for serial-port chargers")
set(CPACK_PACKAGE_DESCRIPTION
    "Ampelon reads the measurements that a battery-charging device sends over a serial\n"
    "port and charts the voltage against the sample number once a second. Readings can\n"
    "be saved as text graph logs and loaded again.")
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
