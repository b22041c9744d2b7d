# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) once the package's files are staged:
# the Depends field is what dpkg-shlibdeps finds in the staged program, except
# that libSDL-1.2.so.0 is resolved to sdl12-compat, the SDL 1.2 the program is
# built and tested on. Left to itself, dpkg-shlibdeps names libsdl1.2debian,
# which on the build machine is a name that sdl12-compat's shim provides, but
# which on a fresh system apt satisfies with the classic SDL 1.2 library.
# Package.cmake sets CPACK_ORRERY_DEB_SDL12, the package and version to depend on.

find_program(ORRERY_SHLIBDEPS dpkg-shlibdeps)
if(NOT ORRERY_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps (dpkg-dev) is needed to work out the package's dependencies")
endif()

file(GLOB_RECURSE ORRERY_STAGED_PROGRAMS "${CPACK_TEMPORARY_DIRECTORY}/*/orrery")
list(FILTER ORRERY_STAGED_PROGRAMS INCLUDE REGEX "/libexec/orrery/orrery$")
if(NOT ORRERY_STAGED_PROGRAMS)
  message(FATAL_ERROR "no libexec/orrery/orrery under ${CPACK_TEMPORARY_DIRECTORY}")
endif()

# dpkg-shlibdeps wants to stand in a source package: debian/control, and
# debian/shlibs.local, whose entries come before every library's own.
set(ORRERY_SHLIBS_DIR "${CPACK_TOPLEVEL_DIRECTORY}/orrery-shlibdeps")
file(REMOVE_RECURSE "${ORRERY_SHLIBS_DIR}")
file(WRITE "${ORRERY_SHLIBS_DIR}/debian/control" "")
file(WRITE "${ORRERY_SHLIBS_DIR}/debian/shlibs.local" "libSDL-1.2 0 ${CPACK_ORRERY_DEB_SDL12}\n")
# The libraries as the system has them, whatever the packager's environment
# puts in front.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${ORRERY_SHLIBDEPS} -O ${ORRERY_STAGED_PROGRAMS}
  WORKING_DIRECTORY "${ORRERY_SHLIBS_DIR}"
  OUTPUT_VARIABLE ORRERY_SHLIBS_OUT ERROR_VARIABLE ORRERY_SHLIBS_ERR RESULT_VARIABLE ORRERY_SHLIBS_RESULT)
file(REMOVE_RECURSE "${ORRERY_SHLIBS_DIR}")
if(NOT ORRERY_SHLIBS_RESULT EQUAL 0 OR NOT ORRERY_SHLIBS_OUT MATCHES "shlibs:Depends=([^\n]*)")
  message(FATAL_ERROR "dpkg-shlibdeps failed: ${ORRERY_SHLIBS_ERR}")
endif()
set(ORRERY_DEPENDS "${CMAKE_MATCH_1}")
string(FIND "${ORRERY_DEPENDS}" "${CPACK_ORRERY_DEB_SDL12}" ORRERY_SDL_AT)
if(ORRERY_SDL_AT LESS 0)
  message(FATAL_ERROR "the program does not link libSDL-1.2.so.0, or dpkg-shlibdeps ignored the mapping: ${ORRERY_DEPENDS}")
endif()

set(CPACK_DEBIAN_PACKAGE_DEPENDS "${ORRERY_DEPENDS}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
