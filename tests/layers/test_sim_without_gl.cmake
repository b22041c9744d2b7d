# The scene (sim/) decides what to draw and leaves every GL and GLU call to
# the renderer's layer (gfx/): no file of sim/ includes the GL headers, gfx/Gl.h
# or names a gl/glu function, and the built scene library calls none. Run on
# the tree and the archive as built, and on small trees that break the rule:
#   cmake -DSCRATCH=<dir> [-DROOT=<dir> -DARCHIVE=<liborrery_sim.a> -DNM=<nm>] -P this-file

# The faults of the sources under ROOT/sim, one message each.
function(sim_gl_source_faults root out)
  set(faults "")
  file(GLOB_RECURSE sources RELATIVE ${root} ${root}/sim/*.cpp ${root}/sim/*.h)
  foreach(source ${sources})
    file(STRINGS ${root}/${source} lines)
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      # What follows // is a comment: prose may name GL.
      string(REGEX REPLACE "//.*" "" code "${line}")
      if(code MATCHES "#include[ \t]*[<\"](GL/[^>\"]*|gfx/Gl\\.h)[>\"]")
        list(APPEND faults "${source}:${number} includes ${CMAKE_MATCH_1}")
      elseif(code MATCHES "(^|[^A-Za-z0-9_.>:])(glu?[A-Z][A-Za-z0-9]*)[ \t]*\\(")
        list(APPEND faults "${source}:${number} calls ${CMAKE_MATCH_2}")
      endif()
    endforeach()
  endforeach()
  set(${out} "${faults}" PARENT_SCOPE)
endfunction()

if(ROOT)
  sim_gl_source_faults(${ROOT} faults)
  if(faults)
    list(JOIN faults "\n  " text)
    message(SEND_ERROR "sim/ reaches GL itself:\n  ${text}")
  endif()
endif()

# The objects of the built scene: every GL and GLU function they call is an
# undefined symbol of the archive.
if(ARCHIVE AND NM)
  execute_process(COMMAND ${NM} -u ${ARCHIVE} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(SEND_ERROR "${NM} -u ${ARCHIVE} failed (${status})")
  endif()
  string(REGEX MATCHALL "U glu?[A-Z][A-Za-z0-9]*" calls "${symbols}")
  if(calls)
    list(REMOVE_DUPLICATES calls)
    list(JOIN calls ", " text)
    message(SEND_ERROR "the scene library calls GL itself: ${text}")
  endif()
endif()

# Trees with one fault each, and one with none: the check must see them.
function(case name expected path text)
  set(root ${SCRATCH}/${name})
  file(REMOVE_RECURSE ${root})
  file(WRITE ${root}/sim/Clean.cpp "#include \"gfx/GlRenderer.h\"\n// glBegin is the renderer's.\nvoid F(GlRenderer* r) { r->PushMatrix(); }\n")
  if(path)
    file(WRITE ${root}/${path} "${text}\n")
  endif()
  sim_gl_source_faults(${root} faults)
  if(expected STREQUAL "")
    if(faults)
      message(SEND_ERROR "${name}: expected no fault, got: ${faults}")
    endif()
  elseif(NOT faults MATCHES "${expected}")
    message(SEND_ERROR "${name}: expected a fault matching '${expected}', got: '${faults}'")
  endif()
endfunction()

if(SCRATCH)
  case(clean "" "" "")
  case(gl-header "sim/Bad.cpp:1 includes GL/gl.h" sim/Bad.cpp "#include <GL/gl.h>")
  case(gl-header-of-gfx "sim/Bad.h:2 includes gfx/Gl.h" sim/Bad.h "#pragma once\n#include \"gfx/Gl.h\"")
  case(gl-call "sim/Bad.cpp:2 calls glBindTexture" sim/Bad.cpp "void F() {\n  glBindTexture(0, 1);\n}")
  case(glu-call "sim/Bad.cpp:1 calls gluSphere" sim/Bad.cpp "void F(void* q) { gluSphere(q, 1, 16, 16); }")
endif()
