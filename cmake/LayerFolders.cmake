# A file's folder tells its layer. The folders from the bottom up, each with
# the layer whose libraries build its sources:
#   platform/                        platform  the services behind platform/Platform.h
#   core/gfx/, core/sim/, core/app/  core      orrery_core: no SDL, GL or X11
#   gfx/                             gfx       orrery_gfx: GL and GLU
#   sim/                             sim       orrery_sim: the scene
#   app/                             app       orrery_app and the program: SDL
# A file includes only files of its own folder or of folders below it, and,
# of the headers outside the project that end in ".h", only those its folder
# or a folder below it is built on. The link checks (orrery_layer_check_*)
# stop a call upwards; this stops the include, and the file kept in the wrong
# folder, that a link never sees.
set(ORRERY_LAYER_FOLDERS platform core/gfx core/sim core/app gfx sim app)
set(ORRERY_LAYER_OF_platform platform)
set(ORRERY_LAYER_OF_core/gfx core)
set(ORRERY_LAYER_OF_core/sim core)
set(ORRERY_LAYER_OF_core/app core)
set(ORRERY_LAYER_OF_gfx gfx)
set(ORRERY_LAYER_OF_sim sim)
set(ORRERY_LAYER_OF_app app)
# Headers outside the project: the platform may include any but those of the
# libraries the layers above it are built on; each folder above the platform
# those of the folders below it and its own ("" adds none).
set(ORRERY_SYSTEM_HEADERS_NOT_platform "GL/.*|SDL.*\\.h")
set(ORRERY_SYSTEM_HEADERS_core/gfx "png\\.h")
set(ORRERY_SYSTEM_HEADERS_core/sim "")
set(ORRERY_SYSTEM_HEADERS_core/app "")
set(ORRERY_SYSTEM_HEADERS_gfx "GL/gl\\.h|GL/glu\\.h")
set(ORRERY_SYSTEM_HEADERS_sim "")
set(ORRERY_SYSTEM_HEADERS_app "SDL\\.h|SDL_syswm\\.h")

# The folder of ORRERY_LAYER_FOLDERS that holds `file` (relative to the root),
# and its place from the bottom; "" and -1 when none does.
function(orrery_folder_of file out_folder out_rank)
  set(found "")
  set(rank -1)
  set(i 0)
  foreach(folder ${ORRERY_LAYER_FOLDERS})
    string(LENGTH "${folder}/" length)
    string(SUBSTRING "${file}" 0 ${length} head)
    if(head STREQUAL "${folder}/")
      set(found ${folder})
      set(rank ${i})
    endif()
    math(EXPR i "${i} + 1")
  endforeach()
  set(${out_folder} "${found}" PARENT_SCOPE)
  set(${out_rank} ${rank} PARENT_SCOPE)
endfunction()

# orrery_layer_folder_errors(<out-var> ROOT <dir> [<layer> <source>...]...)
# Holds the tree under ROOT against the sources each layer builds (paths
# relative to ROOT) and sets <out-var> to one message per fault, empty when
# there is none.
function(orrery_layer_folder_errors out)
  cmake_parse_arguments(ARG "" "ROOT" "platform;core;gfx;sim;app" ${ARGN})
  set(errors "")
  set(tops "")
  foreach(folder ${ORRERY_LAYER_FOLDERS})
    string(REGEX REPLACE "/.*" "" top ${folder})
    list(APPEND tops ${top})
  endforeach()
  list(REMOVE_DUPLICATES tops)

  # Each source built where its layer keeps its files.
  set(built "")
  foreach(layer platform core gfx sim app)
    foreach(file ${ARG_${layer}})
      orrery_folder_of(${file} folder rank)
      if(NOT folder OR NOT "${ORRERY_LAYER_OF_${folder}}" STREQUAL "${layer}")
        list(APPEND errors "${file} is built by the ${layer} layer but lies outside its folders")
      endif()
      list(APPEND built ${file})
    endforeach()
  endforeach()

  set(files "")
  foreach(top ${tops})
    file(GLOB_RECURSE found RELATIVE ${ARG_ROOT} ${ARG_ROOT}/${top}/*.cpp ${ARG_ROOT}/${top}/*.h)
    list(APPEND files ${found})
  endforeach()
  foreach(file ${files})
    orrery_folder_of(${file} folder rank)
    if(NOT folder)
      list(APPEND errors "${file} lies in no layer's folder")
      continue()
    endif()
    set(layer ${ORRERY_LAYER_OF_${folder}})
    if(file MATCHES "\\.cpp$")
      list(FIND built ${file} at)
      if(at EQUAL -1)
        list(APPEND errors "${file} lies in ${folder}/ but no library of the ${layer} layer builds it")
      endif()
    endif()

    file(STRINGS ${ARG_ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" name "${line}")
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"")
        orrery_folder_of(${name} to to_rank)
        if(to AND to_rank GREATER rank)
          list(APPEND errors "${file} includes ${name}, from ${to}/ above ${folder}/")
        endif()
      elseif(name MATCHES "\\.h$")
        set(allowed FALSE)
        set(i 0)
        foreach(below ${ORRERY_LAYER_FOLDERS})
          if((i EQUAL 0 AND rank EQUAL 0 AND NOT name MATCHES "^(${ORRERY_SYSTEM_HEADERS_NOT_platform})$")
             OR (i GREATER 0 AND i LESS_EQUAL rank
             AND NOT "${ORRERY_SYSTEM_HEADERS_${below}}" STREQUAL ""
             AND name MATCHES "^(${ORRERY_SYSTEM_HEADERS_${below}})$"))
            set(allowed TRUE)
          endif()
          math(EXPR i "${i} + 1")
        endforeach()
        if(NOT allowed)
          list(APPEND errors "${file} includes <${name}>, which ${folder}/ is not built on")
        endif()
      endif()
    endforeach()
  endforeach()
  set(${out} "${errors}" PARENT_SCOPE)
endfunction()

# orrery_check_layer_folders([<layer> <target-or-source>...]...)
# The build's own tree: stops CMake with every fault found.
function(orrery_check_layer_folders)
  set(args "")
  foreach(item ${ARGN})
    if(item MATCHES "^(platform|core|gfx|sim|app)$")
      list(APPEND args ${item})
    elseif(TARGET ${item})
      get_target_property(sources ${item} SOURCES)
      foreach(source ${sources})
        if(IS_ABSOLUTE ${source})
          file(RELATIVE_PATH source ${CMAKE_SOURCE_DIR} ${source})
        endif()
        list(APPEND args ${source})
      endforeach()
    else()
      list(APPEND args ${item})
    endif()
  endforeach()
  orrery_layer_folder_errors(errors ROOT ${CMAKE_SOURCE_DIR} ${args})
  if(errors)
    list(JOIN errors "\n  " text)
    message(FATAL_ERROR "The tree does not keep its layers apart:\n  ${text}")
  endif()
  # For the test, which holds the tree as it is then against the same sources.
  set_property(GLOBAL PROPERTY ORRERY_LAYER_SOURCES "${args}")
endfunction()
