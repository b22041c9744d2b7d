# Install rules: `cmake --install <build> --prefix P` lays out
#   P/bin/orrery                          launcher (what users and the menu run)
#   P/libexec/orrery/orrery               the program itself
#   P/share/orrery/configure.txt          default settings, copied per user
#   P/share/orrery/Data/planety_256x128x24/*.bmp, Data/planety_hd/*.bmp
#   P/share/applications/io.github.orrery.Orrery.desktop
#   P/share/metainfo/io.github.orrery.Orrery.metainfo.xml
#   P/share/locale/<language>/LC_MESSAGES/orrery.mo
#   P/share/icons/hicolor/NxN/apps/orrery.png
#   P/share/man/man6/orrery.6.gz
#   P/share/doc/orrery/copyright, SOURCES.txt
# The launcher finds the rest relative to its own place, so the prefix given to
# `cmake --install` (or a later move of the whole tree) needs no reconfigure.
include(GNUInstallDirs)

set(ORRERY_PKG_LIBEXECDIR ${CMAKE_INSTALL_LIBEXECDIR}/orrery)
set(ORRERY_PKG_DATADIR ${CMAKE_INSTALL_DATADIR}/orrery)

# A shell expression for an install folder as a launcher in `bindir` sees it:
# relative to the launcher's folder ($here) unless the folder was configured
# absolute.
function(orrery_launcher_path out bindir dir)
  if(IS_ABSOLUTE "${dir}")
    set(path "${dir}")
    # It goes between double quotes in the script.
    foreach(ch "\\" "\"" "$" "`")
      string(REPLACE "${ch}" "\\${ch}" path "${path}")
    endforeach()
  else()
    file(RELATIVE_PATH rel "/prefix/${bindir}" "/prefix/${dir}")
    set(path "$here/${rel}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

# The launcher as installed into `bindir`; the Debian package puts a second
# one into games/ (cmake/Package.cmake).
function(orrery_configure_launcher bindir output)
  orrery_launcher_path(ORRERY_LAUNCHER_PROGRAM "${bindir}" "${ORRERY_PKG_LIBEXECDIR}/orrery")
  orrery_launcher_path(ORRERY_LAUNCHER_DATA "${bindir}" "${ORRERY_PKG_DATADIR}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/orrery-launcher.sh.in ${output} @ONLY)
endfunction()

orrery_configure_launcher("${CMAKE_INSTALL_BINDIR}" ${PROJECT_BINARY_DIR}/packaging/orrery)

install(TARGETS orrery RUNTIME DESTINATION ${ORRERY_PKG_LIBEXECDIR})
# A component of its own, so that the Debian package can leave it out for
# the one in games/.
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/orrery DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT launcher)

# The installed default is the repository's configure.txt resting between
# ticks (sleep 1) in a window that can be resized (resizable 1), speaking
# the desktop's language (translate 1) and with the larger maps (hd 1; the
# tree's own default keeps the small ones), as a program installed for everyday
# use should: no core held busy polling, a window like any other. Made from
# the repository's file so the two cannot drift apart.
file(READ ${PROJECT_SOURCE_DIR}/configure.txt ORRERY_DEFAULT_CONFIG)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/configure.txt)
foreach(switch
    "sleep|1 waits for the next tick instead of polling, which saves processor time."
    "translate|1 shows the texts in the language of the desktop where there is a translation."
    "resizable|1 lets the window manager resize and maximise the window."
    "hd|1 chooses the larger maps of Data/planety_hd for the bodies.")
  string(REPLACE "|" ";" switch "${switch}")
  list(GET switch 0 key)
  list(GET switch 1 comment)
  string(REGEX MATCH "(^|\n)[ \t]*${key}[ \t]" ORRERY_CONFIG_HAS_KEY "${ORRERY_DEFAULT_CONFIG}")
  if(ORRERY_CONFIG_HAS_KEY)
    string(REGEX REPLACE "(^|\n)([ \t]*)${key}[ \t]+[-+]?[0-9]+" "\\1\\2${key} 1"
      ORRERY_DEFAULT_CONFIG "${ORRERY_DEFAULT_CONFIG}")
  else()
    string(APPEND ORRERY_DEFAULT_CONFIG "\n// ${comment}\n${key} 1\n")
  endif()
endforeach()
set(ORRERY_INSTALLED_CONFIG ${PROJECT_BINARY_DIR}/packaging/configure.txt)
# Written only when it changes, so an unchanged file does not look new to make.
if(EXISTS ${ORRERY_INSTALLED_CONFIG})
  file(READ ${ORRERY_INSTALLED_CONFIG} ORRERY_OLD_CONFIG)
else()
  set(ORRERY_OLD_CONFIG "")
endif()
if(NOT ORRERY_OLD_CONFIG STREQUAL ORRERY_DEFAULT_CONFIG)
  file(WRITE ${ORRERY_INSTALLED_CONFIG} "${ORRERY_DEFAULT_CONFIG}")
endif()
install(FILES ${ORRERY_INSTALLED_CONFIG} DESTINATION ${ORRERY_PKG_DATADIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Data/planety_256x128x24 ${PROJECT_SOURCE_DIR}/Data/planety_hd
  DESTINATION ${ORRERY_PKG_DATADIR}/Data
  FILES_MATCHING PATTERN "*.bmp")
# Named by the AppStream id, which software centres match against the
# metainfo's launchable; both with their translations (po/CMakeLists.txt),
# as are the catalogs it installs under share/locale.
install(FILES ${ORRERY_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORRERY_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The maps are others' work: their credits and licences go with them.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_SOURCE_DIR}/Data/SOURCES.txt
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Made by tools/make_icon (packaging/make-icons.sh) from the procedural Earth
# the project drew before it had published maps.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
  FILES_MATCHING PATTERN "orrery.png")

# Compressed as Debian policy asks of every manual page (man reads either);
# -n leaves out the name and time, so the same page gives the same bytes.
find_program(ORRERY_GZIP gzip)
if(ORRERY_GZIP)
  set(ORRERY_MANUAL ${PROJECT_BINARY_DIR}/packaging/orrery.6.gz)
  add_custom_command(OUTPUT ${ORRERY_MANUAL}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/orrery.6 ${PROJECT_BINARY_DIR}/packaging/orrery.6
    COMMAND ${ORRERY_GZIP} -9nf ${PROJECT_BINARY_DIR}/packaging/orrery.6
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/orrery.6
    VERBATIM)
else()
  set(ORRERY_MANUAL ${PROJECT_BINARY_DIR}/packaging/orrery.6)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/orrery.6 ${ORRERY_MANUAL} COPYONLY)
endif()
add_custom_target(orrery_manual ALL DEPENDS ${ORRERY_MANUAL})
install(FILES ${ORRERY_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
