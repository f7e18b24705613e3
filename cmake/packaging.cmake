# What `cmake --install` puts beside the two programs, and the package CPack
# makes of it: a zip for Windows, a .deb elsewhere. Everything comes from the
# checkout; nothing is downloaded.
set(arrasto_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(arrasto_pkg_out ${PROJECT_BINARY_DIR}/packaging)

if(WIN32)
  # Notepad shows these as they are: CR LF line ends, and a byte-order mark
  # so that the guide's accents come out right.
  configure_file(${PROJECT_SOURCE_DIR}/example/dados.txt ${arrasto_pkg_out}/dados.txt
                 @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${arrasto_pkg_out}/LICENSE.txt
                 @ONLY NEWLINE_STYLE CRLF)
  string(ASCII 239 187 191 arrasto_utf8_bom)
  file(READ ${arrasto_pkg}/LEIAME.txt arrasto_leiame)
  file(CONFIGURE OUTPUT ${arrasto_pkg_out}/LEIAME.txt CONTENT "${arrasto_utf8_bom}${arrasto_leiame}"
       @ONLY NEWLINE_STYLE CRLF)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${arrasto_pkg}/LEIAME.txt)
  install(FILES ${arrasto_pkg_out}/dados.txt ${arrasto_pkg_out}/LEIAME.txt
                ${arrasto_pkg_out}/LICENSE.txt
          DESTINATION ${ARRASTO_INSTALL_DOCDIR})
else()
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/Notepad DESTINATION ${ARRASTO_INSTALL_LIBEXECDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${ARRASTO_INSTALL_DOCDIR})
  if(EXISTS ${PROJECT_SOURCE_DIR}/LEIAME.md)
    install(FILES ${PROJECT_SOURCE_DIR}/LEIAME.md DESTINATION ${ARRASTO_INSTALL_DOCDIR})
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/example/dados.txt
          DESTINATION ${ARRASTO_INSTALL_DOCDIR}/examples)
endif()

option(ARRASTO_DEBIAN_PACKAGE
  "Install the licence and changelog the way a Debian package holds them" OFF)
set(ARRASTO_PACKAGE_MAINTAINER "arrasto developers <arrasto@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

if(NOT WIN32 AND ARRASTO_DEBIAN_PACKAGE)
  # Debian's places: the licence as a machine-readable "copyright" file, and
  # the changelog gzip-compressed without a time stamp.
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE arrasto_license)
  string(STRIP "${arrasto_license}" arrasto_license)
  string(REGEX REPLACE "\n\n" "\n.\n" arrasto_license "${arrasto_license}")
  string(REPLACE "\n" "\n " ARRASTO_LICENSE_TEXT " ${arrasto_license}")
  configure_file(${arrasto_pkg}/debian/copyright.in ${arrasto_pkg_out}/copyright @ONLY)
  configure_file(${arrasto_pkg}/debian/changelog.in ${arrasto_pkg_out}/changelog @ONLY)
  find_program(ARRASTO_GZIP gzip REQUIRED)
  add_custom_command(
    OUTPUT ${arrasto_pkg_out}/changelog.gz
    COMMAND ${ARRASTO_GZIP} -9nkf ${arrasto_pkg_out}/changelog
    DEPENDS ${arrasto_pkg_out}/changelog
    VERBATIM)
  add_custom_target(arrasto_debian_changelog ALL DEPENDS ${arrasto_pkg_out}/changelog.gz)
  install(FILES ${arrasto_pkg_out}/copyright ${arrasto_pkg_out}/changelog.gz
          DESTINATION ${ARRASTO_INSTALL_DOCDIR})
elseif(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${ARRASTO_INSTALL_DOCDIR})
endif()

# The page, built beforehand by the web preset (cmake --workflow --preset
# web), goes beside the programs in the zip and under share/arrasto in the
# .deb; another build of it can be named with -DARRASTO_WEB_PAGE=FILE.
set(ARRASTO_WEB_PAGE ${PROJECT_SOURCE_DIR}/build/web/arrasto-${PROJECT_VERSION}.html
    CACHE FILEPATH "The page to install, when it has been built")
if(EXISTS ${ARRASTO_WEB_PAGE} AND WIN32)
  install(FILES ${ARRASTO_WEB_PAGE} DESTINATION .)
elseif(EXISTS ${ARRASTO_WEB_PAGE})
  install(FILES ${ARRASTO_WEB_PAGE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/arrasto)
endif()

set(CPACK_PACKAGE_NAME arrasto)
set(CPACK_PACKAGE_VENDOR "the arrasto developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drag coefficient of a small rocket over a range of Mach numbers")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${arrasto_pkg}/debian/description)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  # The zip's one top folder is named like the zip.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME arrasto-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ARRASTO_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
