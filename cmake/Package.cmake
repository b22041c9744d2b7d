# `cpack -G DEB` (what `make deb` runs): a Debian package of the install tree
# of cmake/Install.cmake under /usr, the launcher in /usr/games. The launcher
# finds everything relative to itself, so the prefix needs nothing of its own.
#
# Dependencies come from dpkg-shlibdeps, that is from the libraries the binary
# really links, so they follow the build instead of a list kept by hand; only
# what is loaded without linking (a font through fontconfig, the pictures
# folder through xdg-user-dir) is named here, and only as a recommendation,
# since the program works without either. SDL 1.2 is the one exception:
# cmake/DebDepends.cmake names sdl12-compat, which the tests run on, where
# dpkg-shlibdeps would name a package that apt fills with the classic library.

set(ORRERY_DEB_MAINTAINER "Orrery maintainers <orrery@users.noreply.github.com>"
  CACHE STRING "Maintainer field of the Debian package")
set(ORRERY_HOMEPAGE "https://github.com/orrery/orrery"
  CACHE STRING "Homepage field of the Debian package")
set(ORRERY_METAINFO ${PROJECT_SOURCE_DIR}/packaging/io.github.orrery.Orrery.metainfo.xml)

# Package and metainfo describe one release: the date of this version's
# release there dates the Debian changelog too.
file(READ ${ORRERY_METAINFO} ORRERY_METAINFO_TEXT)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORRERY_METAINFO})
set(ORRERY_PACKAGE_VERSION "${PROJECT_VERSION}")
if(NOT ORRERY_PACKAGE_VERSION)
  set(ORRERY_PACKAGE_VERSION 0)
endif()
string(REPLACE "." "\\." ORRERY_VERSION_PATTERN "${ORRERY_PACKAGE_VERSION}")
if(ORRERY_METAINFO_TEXT MATCHES "<release version=\"${ORRERY_VERSION_PATTERN}\" date=\"([0-9]+)-([0-9]+)-([0-9]+)\"")
  set(ORRERY_RELEASE_YEAR ${CMAKE_MATCH_1})
  set(ORRERY_RELEASE_MONTH ${CMAKE_MATCH_2})
  set(ORRERY_RELEASE_DAY ${CMAKE_MATCH_3})
else()
  message(WARNING "packaging/io.github.orrery.Orrery.metainfo.xml has no <release> for version "
    "${ORRERY_PACKAGE_VERSION}; add one, so that software centres show this release")
  string(TIMESTAMP ORRERY_RELEASE_YEAR "%Y" UTC)
  string(TIMESTAMP ORRERY_RELEASE_MONTH "%m" UTC)
  string(TIMESTAMP ORRERY_RELEASE_DAY "%d" UTC)
endif()

# The changelog wants an RFC 2822 date, weekday included (Sakamoto's rule).
math(EXPR ORRERY_M "${ORRERY_RELEASE_MONTH} + 0")
math(EXPR ORRERY_D "${ORRERY_RELEASE_DAY} + 0")
set(ORRERY_Y ${ORRERY_RELEASE_YEAR})
if(ORRERY_M LESS 3)
  math(EXPR ORRERY_Y "${ORRERY_Y} - 1")
endif()
set(ORRERY_MONTH_OFFSETS 0 3 2 5 0 3 5 1 4 6 2 4)
math(EXPR ORRERY_MONTH_INDEX "${ORRERY_M} - 1")
list(GET ORRERY_MONTH_OFFSETS ${ORRERY_MONTH_INDEX} ORRERY_MONTH_OFFSET)
math(EXPR ORRERY_WEEKDAY_INDEX
  "(${ORRERY_Y} + ${ORRERY_Y} / 4 - ${ORRERY_Y} / 100 + ${ORRERY_Y} / 400 + ${ORRERY_MONTH_OFFSET} + ${ORRERY_D}) % 7")
set(ORRERY_WEEKDAYS Sun Mon Tue Wed Thu Fri Sat)
set(ORRERY_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET ORRERY_WEEKDAYS ${ORRERY_WEEKDAY_INDEX} ORRERY_WEEKDAY)
list(GET ORRERY_MONTHS ${ORRERY_MONTH_INDEX} ORRERY_MONTH_NAME)
set(ORRERY_CHANGELOG_DATE
  "${ORRERY_WEEKDAY}, ${ORRERY_RELEASE_DAY} ${ORRERY_MONTH_NAME} ${ORRERY_RELEASE_YEAR} 00:00:00 +0000")

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(ORRERY_DEBIAN_VERSION "${ORRERY_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")
set(ORRERY_CHANGELOG ${PROJECT_BINARY_DIR}/packaging/changelog.Debian)
file(CONFIGURE OUTPUT ${ORRERY_CHANGELOG} CONTENT
"orrery (${ORRERY_DEBIAN_VERSION}) unstable; urgency=medium

  * Release ${ORRERY_PACKAGE_VERSION}, built with CPack from the project's
    CMake build. The changes are in
    /usr/share/metainfo/io.github.orrery.Orrery.metainfo.xml.

 -- ${ORRERY_DEB_MAINTAINER}  ${ORRERY_CHANGELOG_DATE}
")

# What only the package holds, in a component that `cmake --install` leaves
# out. Debian keeps the programs of section games in /usr/games: the package
# has the launcher there, made for that folder, instead of the one in bin/.
orrery_configure_launcher(games ${PROJECT_BINARY_DIR}/packaging/games/orrery)
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/games/orrery DESTINATION games
  COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME orrery COMPONENT debian EXCLUDE_FROM_ALL)
if(ORRERY_GZIP)
  add_custom_command(OUTPUT ${ORRERY_CHANGELOG}.gz
    COMMAND ${ORRERY_GZIP} -9nc ${ORRERY_CHANGELOG} > ${ORRERY_CHANGELOG}.gz
    DEPENDS ${ORRERY_CHANGELOG})
  add_custom_target(orrery_debian_changelog ALL DEPENDS ${ORRERY_CHANGELOG}.gz)
  install(FILES ${ORRERY_CHANGELOG}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR}
    COMPONENT debian EXCLUDE_FROM_ALL)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orrery)
set(CPACK_PACKAGE_VERSION ${ORRERY_PACKAGE_VERSION})
set(CPACK_PACKAGE_VENDOR "The orrery authors")
set(CPACK_PACKAGE_CONTACT "${ORRERY_DEB_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive 3-D gravity simulation of the solar system")
set(CPACK_PACKAGE_DESCRIPTION
"The Sun and nine planets pull on each other at 100 integration steps per
second while you fly a free camera among them, ride along with any body,
speed time up, slow it down, pause it or run it backwards. The planets can
be placed where they were or will be on any date from 1800 to 2050, their
orbits drawn as trails, the whole universe saved to a small text file, and
years simulated ahead from the command line without a window.

On-screen text is in Czech without diacritics.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORRERY_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ORRERY_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(ORRERY_DEB_SDL12 "libsdl1.2-compat-shim (>= 1.2.60)"
  CACHE STRING "The SDL 1.2 package the Debian package depends on")
set(CPACK_ORRERY_DEB_SDL12 "${ORRERY_DEB_SDL12}")
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebDepends.cmake)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-user-dirs")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# One package holding the ordinary install, without the bin/ launcher, and
# the Debian-only files.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
if(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME)
  set(CPACK_COMPONENTS_ALL ${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME} debian)
else()
  set(CPACK_COMPONENTS_ALL Unspecified debian)
endif()
include(CPack)
