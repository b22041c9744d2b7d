# The catalogs as a translator and a user need them: every language's .po
# complete (no untranslated or fuzzy message, format directives matching the
# message id's, as msgfmt --check sees them); po/orrery.pot holding exactly
# the texts the sources, the desktop entry and the metainfo have now; and
# every .po translating all of them. Faults are listed together.
#   cmake -DROOT=<source folder> -DSCRATCH=<folder> -P tests/po/test_catalogs.cmake
find_program(MSGFMT msgfmt REQUIRED)
find_program(MSGCMP msgcmp REQUIRED)
find_program(XGETTEXT xgettext REQUIRED)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
set(errors "")

set(fresh ${SCRATCH}/fresh.pot)
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${ROOT} -DOUT=${fresh} -DXGETTEXT=${XGETTEXT}
  -P ${ROOT}/po/Extract.cmake RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "the texts could not be extracted from the sources")
endif()
# Both ways: nothing missing from the .pot, nothing left in it that is gone.
foreach(pair "${ROOT}/po/orrery.pot|${fresh}|lacks texts the sources have"
             "${fresh}|${ROOT}/po/orrery.pot|holds texts the sources no longer have")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 def)
  list(GET pair 1 ref)
  list(GET pair 2 what)
  execute_process(COMMAND ${MSGCMP} --use-untranslated ${def} ${ref}
    RESULT_VARIABLE code ERROR_VARIABLE out OUTPUT_QUIET)
  if(NOT code EQUAL 0)
    list(APPEND errors "po/orrery.pot ${what} (cmake --build build --target orrery_pot):\n${out}")
  endif()
endforeach()

file(STRINGS ${ROOT}/po/LINGUAS languages REGEX "^[a-zA-Z_@]+$")
list(LENGTH languages count)
if(count LESS 8)
  list(APPEND errors "po/LINGUAS names ${count} languages, not the eight or more there are")
endif()
foreach(lang ${languages})
  set(po ${ROOT}/po/${lang}.po)
  execute_process(COMMAND ${MSGFMT} --check --statistics -o ${SCRATCH}/${lang}.mo ${po}
    RESULT_VARIABLE code ERROR_VARIABLE out OUTPUT_QUIET)
  string(STRIP "${out}" out)
  if(NOT code EQUAL 0 OR NOT out MATCHES "^[0-9]+ translated messages?\\.$")
    list(APPEND errors "po/${lang}.po: ${out}")
  endif()
  execute_process(COMMAND ${MSGCMP} ${po} ${fresh} RESULT_VARIABLE code ERROR_VARIABLE out OUTPUT_QUIET)
  if(NOT code EQUAL 0)
    list(APPEND errors "po/${lang}.po does not translate every text:\n${out}")
  endif()
endforeach()

if(errors)
  list(JOIN errors "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "${count} catalogs complete and current")
