# Guards the dependency check itself: a copy of src/ with one include from
# the processor into the editor (the cycle the composition root removed)
# must fail the check, and the failure must name the crossing; so must a
# folder outside the graph and a declared dependency nothing includes.
#
#   cmake -DSOURCE_DIR=<src> -DGRAPH=<graph file> -DCHECK=<CheckDependencies.cmake> -DSCRATCH=<dir> -P planted_include.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${SCRATCH})
file(COPY ${SOURCE_DIR}/ DESTINATION ${SCRATCH}/src)

function(vb_run_check expectFailure)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SCRATCH}/src -DGRAPH=${GRAPH} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expectFailure AND result EQUAL 0)
    message(FATAL_ERROR "the check passed a tree with a crossing include:\n${output}")
  elseif(NOT expectFailure AND NOT result EQUAL 0)
    message(FATAL_ERROR "the check failed the unchanged tree:\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

vb_run_check(FALSE)

file(WRITE ${SCRATCH}/src/processor/planted.cpp "#include \"processor/process_module.h\"\n#include \"editor/wnd_gui.h\"\n")
vb_run_check(TRUE)
if(NOT output MATCHES "src/processor/planted.cpp includes editor/wnd_gui.h: vb_processor \\(processor\\) does not declare vb_editor \\(editor\\)")
  message(FATAL_ERROR "the check failed without naming the planted include:\n${output}")
endif()
if(output MATCHES "process_module.h:")
  message(FATAL_ERROR "the check flagged an include inside the folder:\n${output}")
endif()

# A folder the graph does not know fails too, whatever it includes.
file(REMOVE ${SCRATCH}/src/processor/planted.cpp)
file(WRITE ${SCRATCH}/src/stray/stray.cpp "#include \"error/error.h\"\n")
vb_run_check(TRUE)
if(NOT output MATCHES "src/stray/stray.cpp: its folder stray belongs to no target")
  message(FATAL_ERROR "the check failed without naming the stray folder:\n${output}")
endif()

# A declared dependency no source uses fails too.
file(REMOVE_RECURSE ${SCRATCH}/src/stray)
file(READ ${GRAPH} graph)
file(WRITE ${SCRATCH}/graph.cmake "${graph}list(APPEND \"VB_DEPS_vb_processor\" vb_gui)\n")
set(GRAPH ${SCRATCH}/graph.cmake)
vb_run_check(TRUE)
if(NOT output MATCHES "vb_processor declares vb_gui \\(gui\\), but none of its sources includes it")
  message(FATAL_ERROR "the check failed without naming the unused dependency:\n${output}")
endif()
file(REMOVE_RECURSE ${SCRATCH})
