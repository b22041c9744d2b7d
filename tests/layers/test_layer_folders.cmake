# The folder check on the project's tree as it stands, against the sources
# the build gives each layer (ROOT, and BUILT with "|" between items), and on
# small trees that each have one fault of the kind this tree once had or
# could get: cmake -DSCRATCH=<dir> [-DROOT=<dir> -DBUILT=<list>] -P this-file.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/LayerFolders.cmake)

if(ROOT)
  string(REPLACE "|" ";" built "${BUILT}")
  orrery_layer_folder_errors(errors ROOT ${ROOT} ${built})
  if(errors)
    list(JOIN errors "\n  " text)
    message(SEND_ERROR "the tree does not keep its layers apart:\n  ${text}")
  endif()
endif()

# A tree in SCRATCH/<name> from pairs of path and text.
function(make_tree name)
  set(root ${SCRATCH}/${name})
  file(REMOVE_RECURSE ${root})
  set(path "")
  foreach(item IN LISTS ARGN)
    if(path STREQUAL "")
      set(path ${item})
    else()
      file(WRITE ${root}/${path} "${item}\n")
      set(path "")
    endif()
  endforeach()
endfunction()

# Each case: the tree's name, the fault's message expected ("" for none), and
# the layers' sources.
function(expect name expected)
  orrery_layer_folder_errors(errors ROOT ${SCRATCH}/${name} ${ARGN})
  if(expected STREQUAL "")
    if(errors)
      message(SEND_ERROR "${name}: expected no fault, got: ${errors}")
    endif()
  elseif(NOT errors MATCHES "${expected}")
    message(SEND_ERROR "${name}: expected a fault matching '${expected}', got: '${errors}'")
  else()
    message(STATUS "${name}: ${errors}")
  endif()
endfunction()

set(clean
  platform/Platform.h "#include <cstdio>"
  platform/FontFreeType.cpp "#include <ft2build.h>\n#include \"platform/Platform.h\""
  core/gfx/PngWriter.cpp "#include <png.h>\n#include \"platform/Platform.h\""
  core/sim/Model.h "#include <cstdint>"
  core/app/Batch.cpp "#include \"core/sim/Model.h\""
  gfx/Gl.h "#include <GL/gl.h>"
  gfx/GlRenderer.cpp "#include \"gfx/Gl.h\"\n#include \"core/gfx/PngWriter.h\""
  sim/Universe.cpp "#include \"gfx/Gl.h\"\n#include \"core/sim/Model.h\""
  app/Application.cpp "#include <SDL.h>\n#include \"sim/Universe.h\"\n#include \"support/Elsewhere.h\""
  app/main.cpp "#include \"app/Application.h\"")
set(built
  platform platform/FontFreeType.cpp
  core core/gfx/PngWriter.cpp core/app/Batch.cpp
  gfx gfx/GlRenderer.cpp
  sim sim/Universe.cpp
  app app/Application.cpp app/main.cpp)
make_tree(clean ${clean})
expect(clean "" ${built})

# The arrows the tree had before core/ existed.
make_tree(font-fills-gl-lists ${clean} platform/FontFreeType.cpp "#include \"gfx/Gl.h\"")
expect(font-fills-gl-lists "platform/FontFreeType.cpp includes gfx/Gl.h, from gfx/ above platform/" ${built})
make_tree(png-writer-uses-the-simulation ${clean} core/gfx/PngWriter.cpp "#include \"core/sim/Model.h\"")
expect(png-writer-uses-the-simulation "core/gfx/PngWriter.cpp includes core/sim/Model.h, from core/sim/ above core/gfx/"
  ${built})

make_tree(font-needs-gl ${clean} platform/FontFreeType.cpp "#include <GL/gl.h>")
expect(font-needs-gl "platform/FontFreeType.cpp includes <GL/gl.h>, which platform/ is not built on" ${built})
make_tree(box-asks-sdl ${clean} platform/MessageBoxX11.cpp "#include <X11/Xlib.h>\n#include <SDL_syswm.h>")
expect(box-asks-sdl "platform/MessageBoxX11.cpp includes <SDL_syswm.h>, which platform/ is not built on"
  ${built} platform platform/MessageBoxX11.cpp)

# A GL file kept among the portable ones, and one that nothing builds.
make_tree(gl-file-in-core ${clean} core/gfx/Texture.cpp "#include \"gfx/Gl.h\"")
expect(gl-file-in-core "core/gfx/Texture.cpp is built by the gfx layer but lies outside its folders"
  ${built} gfx core/gfx/Texture.cpp)
expect(gl-file-in-core "core/gfx/Texture.cpp includes gfx/Gl.h, from gfx/ above core/gfx/"
  ${built} gfx core/gfx/Texture.cpp)
make_tree(file-built-by-nobody ${clean} sim/Trails.cpp "")
expect(file-built-by-nobody "sim/Trails.cpp lies in sim/ but no library of the sim layer builds it" ${built})
make_tree(file-outside-the-subsystems ${clean} core/Helper.h "")
expect(file-outside-the-subsystems "core/Helper.h lies in no layer's folder" ${built})

# What the system gives reaches the portable code only through the platform.
make_tree(posix-in-core ${clean} core/sim/Model.h "#include <unistd.h>")
expect(posix-in-core "core/sim/Model.h includes <unistd.h>, which core/sim/ is not built on" ${built})
make_tree(gl-in-core ${clean} core/app/Batch.cpp "#include <GL/gl.h>")
expect(gl-in-core "core/app/Batch.cpp includes <GL/gl.h>, which core/app/ is not built on" ${built})
make_tree(sdl-in-the-scene ${clean} sim/Universe.cpp "#include <SDL.h>")
expect(sdl-in-the-scene "sim/Universe.cpp includes <SDL.h>, which sim/ is not built on" ${built})
