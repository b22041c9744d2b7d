# Install rules: `cmake --install <build> --prefix P` lays out
#   P/bin/orrery                          launcher (what users and the menu run)
#   P/libexec/orrery/orrery               the program itself
#   P/share/orrery/configure.txt          default settings, copied per user
#   P/share/orrery/Data/planety_256x128x24/*.bmp
#   P/share/applications/orrery.desktop
#   P/share/icons/hicolor/NxN/apps/orrery.png
# The launcher finds the rest relative to its own place, so the prefix given to
# `cmake --install` (or a later move of the whole tree) needs no reconfigure.
include(GNUInstallDirs)

set(ORRERY_PKG_LIBEXECDIR ${CMAKE_INSTALL_LIBEXECDIR}/orrery)
set(ORRERY_PKG_DATADIR ${CMAKE_INSTALL_DATADIR}/orrery)

# A shell expression for an install folder as the launcher sees it: relative to
# the launcher's folder ($here) unless the folder was configured absolute.
function(orrery_launcher_path out dir)
  if(IS_ABSOLUTE "${dir}")
    set(path "${dir}")
    # It goes between double quotes in the script.
    foreach(ch "\\" "\"" "$" "`")
      string(REPLACE "${ch}" "\\${ch}" path "${path}")
    endforeach()
  else()
    file(RELATIVE_PATH rel "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${dir}")
    set(path "$here/${rel}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

orrery_launcher_path(ORRERY_LAUNCHER_PROGRAM "${ORRERY_PKG_LIBEXECDIR}/orrery")
orrery_launcher_path(ORRERY_LAUNCHER_DATA "${ORRERY_PKG_DATADIR}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/orrery-launcher.sh.in
  ${PROJECT_BINARY_DIR}/packaging/orrery @ONLY)

install(TARGETS orrery RUNTIME DESTINATION ${ORRERY_PKG_LIBEXECDIR})
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/orrery DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/configure.txt DESTINATION ${ORRERY_PKG_DATADIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Data/planety_256x128x24
  DESTINATION ${ORRERY_PKG_DATADIR}/Data
  FILES_MATCHING PATTERN "*.bmp")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/orrery.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Made from our own Earth texture by tools/make_icon (packaging/make-icons.sh).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
  FILES_MATCHING PATTERN "orrery.png")
