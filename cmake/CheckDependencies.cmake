# Holds the sources below src/ to the declared dependency graph: a file may
# include headers of its own folder's target and of the targets that target
# names directly in src/CMakeLists.txt, nothing else; and every target it
# names there (DEPS) must be included by one of its sources, or the graph
# claims a dependency the code does not have (a target that only supplies
# definitions, a window backend, is named LINK instead). Every folder with
# sources must belong to a target.
#
#   cmake -DSOURCE_DIR=<src> -DGRAPH=<build>/dependency_graph.cmake -P CheckDependencies.cmake
#
# Prints one line per crossing include or unused dependency and fails when
# there is any.
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR OR NOT GRAPH)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<src> -DGRAPH=<graph file> -P CheckDependencies.cmake")
endif()
include(${GRAPH})

# The folder a header belongs to: the longest declared folder its path
# starts with ("platform/x11/x11_window.h" is in platform/x11, not platform).
function(vb_folder_of path result)
  set(best "")
  string(LENGTH "${best}" bestLength)
  foreach(folder IN LISTS VB_FOLDERS)
    string(LENGTH "${folder}/" length)
    string(SUBSTRING "${path}" 0 ${length} prefix)
    if(prefix STREQUAL "${folder}/" AND length GREATER bestLength)
      set(best ${folder})
      set(bestLength ${length})
    endif()
  endforeach()
  set(${result} "${best}" PARENT_SCOPE)
endfunction()

set(crossings 0)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
foreach(source IN LISTS sources)
  vb_folder_of(${source} folder)
  get_filename_component(directory ${source} DIRECTORY)
  if(NOT folder STREQUAL directory)
    message("src/${source}: its folder ${directory} belongs to no target of src/CMakeLists.txt")
    math(EXPR crossings "${crossings} + 1")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
    vb_folder_of(${header} target)
    list(APPEND "VB_USED_${folder}" ${target})
    if(target STREQUAL "" OR target IN_LIST VB_ALLOWED_${folder})
      continue()
    endif()
    message("src/${source} includes ${header}: ${VB_TARGET_${folder}} (${folder}) does not declare ${VB_TARGET_${target}} (${target})")
    math(EXPR crossings "${crossings} + 1")
  endforeach()
endforeach()

foreach(target IN LISTS VB_TARGETS)
  set(used)
  foreach(folder IN LISTS "VB_DIRS_${target}")
    list(APPEND used ${VB_USED_${folder}})
  endforeach()
  foreach(dependency IN LISTS "VB_DEPS_${target}")
    set(included FALSE)
    foreach(folder IN LISTS "VB_DIRS_${dependency}")
      if(folder IN_LIST used)
        set(included TRUE)
      endif()
    endforeach()
    if(NOT included)
      message("${target} declares ${dependency} (${VB_DIRS_${dependency}}), but none of its sources includes it")
      math(EXPR crossings "${crossings} + 1")
    endif()
  endforeach()
endforeach()

if(crossings GREATER 0)
  message(FATAL_ERROR "${crossings} include(s) or dependencies disagree with the graph declared in src/CMakeLists.txt")
endif()
