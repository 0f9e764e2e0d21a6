# One static library per subsystem folder. Sources are collected from the
# folder so that adding a unit needs no edit here; dependencies are named
# once, in src/CMakeLists.txt, and the dependency check holds the sources to
# them (vb_write_dependency_graph). DEPS are the targets whose headers the
# sources include; LINK those that only supply definitions of functions
# declared elsewhere (a window backend): linked, never included, and no part
# of the checked graph.
function(vb_add_module name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS;LINK;EXCLUDE" ${ARGN})
  vb_declare_folders(${name} DIRS ${ARG_DIRS} DEPS ${ARG_DEPS})
  set(srcs)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND srcs ${found})
  endforeach()
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${ex}")
  endforeach()
  # A unit with a twin per system: name_posix.cpp and name_win32.cpp define
  # the same header's functions; each build takes its own.
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} ${ARG_LINK})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} ${ARG_LINK})
  endif()
endfunction()

# Records which folders below src/ make up <name> and which targets it
# builds on, for the dependency check. Targets without folders (system
# libraries, generated code) take no part in it.
function(vb_declare_folders name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set_property(GLOBAL APPEND PROPERTY VB_GRAPH_TARGETS ${name})
  set_property(GLOBAL PROPERTY VB_GRAPH_DIRS_${name} ${ARG_DIRS})
  set_property(GLOBAL PROPERTY VB_GRAPH_DEPS_${name} ${ARG_DEPS})
endfunction()

# Writes the declared graph as folder -> folders it may include from (its
# own target's folders and those of the targets it names directly), read by
# cmake/CheckDependencies.cmake.
function(vb_write_dependency_graph file)
  get_property(targets GLOBAL PROPERTY VB_GRAPH_TARGETS)
  set(folders)
  set(text "# Generated from the declarations in src/CMakeLists.txt.\n")
  foreach(target IN LISTS targets)
    get_property(dirs GLOBAL PROPERTY VB_GRAPH_DIRS_${target})
    get_property(deps GLOBAL PROPERTY VB_GRAPH_DEPS_${target})
    set(allowed ${dirs})
    foreach(dep IN LISTS deps)
      if(dep IN_LIST targets)
        get_property(depdirs GLOBAL PROPERTY VB_GRAPH_DIRS_${dep})
        list(APPEND allowed ${depdirs})
      endif()
    endforeach()
    list(REMOVE_DUPLICATES allowed)
    foreach(dir IN LISTS dirs)
      list(APPEND folders ${dir})
      string(APPEND text "set(\"VB_ALLOWED_${dir}\" ${allowed})\n")
      string(APPEND text "set(\"VB_TARGET_${dir}\" ${target})\n")
    endforeach()
    # The declared dependencies that have folders: each must be included.
    set(graphDeps)
    foreach(dep IN LISTS deps)
      if(dep IN_LIST targets)
        list(APPEND graphDeps ${dep})
      endif()
    endforeach()
    string(APPEND text "set(\"VB_DIRS_${target}\" ${dirs})\n")
    string(APPEND text "set(\"VB_DEPS_${target}\" ${graphDeps})\n")
  endforeach()
  string(APPEND text "set(VB_FOLDERS ${folders})\n")
  string(APPEND text "set(VB_TARGETS ${targets})\n")
  file(CONFIGURE OUTPUT ${file} CONTENT "${text}" @ONLY)
endfunction()

# One test executable per folder below tests/ (tests/dsp -> test_dsp).
# LOCK names a resource its tests share with other folders' tests (ctest
# never runs two tests holding the same lock at once).
# A ThreadSanitizer tree builds only a folder's THREADS sources (a regular
# expression on the path): the thread tests scripts/test runs there, and
# their helpers. Folders without it are left out of such a tree.
function(vb_add_test_folder folder)
  cmake_parse_arguments(ARG "" "LOCK;THREADS;WINDOWS_EXCLUDE" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
  list(FILTER srcs EXCLUDE REGEX "/fuzz/")
  # Tests of one system's backend: x11 or posix in the name, or win32.
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "(x11|posix)[^/]*\\.cpp$")
    if(ARG_WINDOWS_EXCLUDE)
      list(FILTER srcs EXCLUDE REGEX "${ARG_WINDOWS_EXCLUDE}")
    endif()
  else()
    list(FILTER srcs EXCLUDE REGEX "win32[^/]*\\.cpp$")
  endif()
  if(VB_TSAN)
    if(NOT ARG_THREADS)
      return()
    endif()
    list(FILTER srcs INCLUDE REGEX "${ARG_THREADS}")
  endif()
  if(NOT srcs)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${srcs})
  # GoogleTest's headers take a good part of each test source's compile
  # time: they are parsed once, for the first folder, and that header is
  # shared by the rest.
  get_property(pch_owner GLOBAL PROPERTY VB_TEST_PCH_OWNER)
  if(pch_owner)
    target_precompile_headers(${target} REUSE_FROM ${pch_owner})
  else()
    target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <gmock/gmock.h> <functional> <memory> <string> <vector>)
    set_property(GLOBAL PROPERTY VB_TEST_PCH_OWNER ${target})
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} vb_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # One ctest entry per program: listing the tests would start Wine at
    # build time. scripts/test runs the programs and counts their tests.
    add_test(NAME ${target} COMMAND ${target})
  elseif(ARG_LOCK)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${folder} RESOURCE_LOCK ${ARG_LOCK})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${folder})
  endif()
endfunction()

function(vb_add_bench_folder folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
  if(NOT srcs)
    return()
  endif()
  add_executable(bench_${folder} ${srcs})
  target_include_directories(bench_${folder} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(bench_${folder} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
