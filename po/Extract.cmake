# Extracts every text of the program into a .pot: cmake -DROOT=<source folder>
# -DOUT=<file> [-DXGETTEXT=<program>] -P po/Extract.cmake. The sources where
# texts are written and the words that mark them are listed here once, for
# the orrery_pot target and for the test that the catalogs are current.
if(NOT XGETTEXT)
  set(XGETTEXT xgettext)
endif()
set(sources
  app/Application.cpp
  app/Sandbox.cpp
  core/app/InfoLine.cpp
  core/app/Panel.cpp
  core/gfx/Bmp.cpp
  core/sim/RealSystem.cpp
  core/sim/UniverseModel.cpp
  platform/MessageBoxX11.cpp
  sim/Universe.cpp)
set(keywords --keyword=Translate --keyword=TranslateIn:1c,2 --keyword=TRANSLATABLE
  --keyword=TRANSLATABLE_IN:1c,2 --keyword=ShowError --keyword=ShowMessageBox:1)
file(STRINGS ${ROOT}/CMakeLists.txt project REGEX "^project\\(orrery VERSION [0-9.]+")
string(REGEX REPLACE ".*VERSION ([0-9.]+).*" "\\1" version "${project}")
set(header --package-name=orrery --package-version=${version} --copyright-holder=orrery
  --msgid-bugs-address=https://github.com/orrery/orrery/issues --no-wrap --add-location=file)
execute_process(COMMAND ${XGETTEXT} --from-code=UTF-8 -L C++ --add-comments=TRANSLATORS ${keywords} ${header}
    -o ${OUT} ${sources}
  WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "xgettext failed on the sources")
endif()
# The menu entry and the metainfo, by their own rules (Desktop, AppStream ITS).
execute_process(COMMAND ${XGETTEXT} --from-code=UTF-8 --add-comments ${header} -j -o ${OUT}
    packaging/io.github.orrery.Orrery.desktop packaging/io.github.orrery.Orrery.metainfo.xml
  WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "xgettext failed on the desktop entry or the metainfo")
endif()
