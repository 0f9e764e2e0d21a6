# The Windows tests: the unit suites that do not need X11 or POSIX, the
# plug-in loaded through LoadLibraryW, and the Win32 backend, cross-built
# and run under Wine by scripts/test. GoogleTest is built from Debian's
# source package for the target.
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()
# GoogleTest's own sources are not ours to hold to our warnings.
foreach(lib gtest gtest_main gmock gmock_main)
  target_compile_options(${lib} PRIVATE -w)
endforeach()

file(GLOB support_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
list(FILTER support_srcs EXCLUDE REGEX "(x11[^/]*|/editor_test_host)\\.cpp$")
add_library(vb_testsupport STATIC ${support_srcs})
target_link_libraries(vb_testsupport PUBLIC GTest::gtest vb_platform_win32)
target_include_directories(vb_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src)
# Paths as the programs see them under Wine: the build machine's root is
# drive Z:.
function(vb_wine_path out path)
  string(REPLACE "/" "\\\\" windows_path "${path}")
  set(${out} "Z:${windows_path}" PARENT_SCOPE)
endfunction()
vb_wine_path(testdata_dir ${CMAKE_CURRENT_SOURCE_DIR}/data)
vb_wine_path(binary_dir ${PROJECT_BINARY_DIR})
vb_wine_path(plugin_path ${PROJECT_BINARY_DIR}/VordaBrasswick.dll)
target_compile_definitions(vb_testsupport INTERFACE
  VB_TESTDATA_DIR="${testdata_dir}" VB_BINARY_DIR="${binary_dir}")
if(TARGET VordaBrasswick)
  target_compile_definitions(vb_testsupport INTERFACE VB_PLUGIN_PATH="${plugin_path}")
endif()
# Test programs carry their runtime inside, like the DLL.
add_link_options(-static)

vb_add_test_folder(error     DEPS vb_error)
vb_add_test_folder(cpu       DEPS vb_cpu)
vb_add_test_folder(image     DEPS vb_image WINDOWS_EXCLUDE "/(bitmap_file|file_format_registry)_test\\.cpp$")
vb_add_test_folder(png       DEPS vb_png WINDOWS_EXCLUDE "/portable_network_graphic_test\\.cpp$")
vb_add_test_folder(dsp       DEPS vb_dsp)
vb_add_test_folder(host      DEPS vb_vst WINDOWS_EXCLUDE "/(plugin_entry|failure_trace|editor_hosting)_test\\.cpp$")
vb_add_test_folder(params    DEPS vb_vst WINDOWS_EXCLUDE "/(parameter_number_format|plugin_parameters)_test\\.cpp$")
vb_add_test_folder(processor DEPS vb_processor)
vb_add_test_folder(gui       DEPS vb_gui)
vb_add_test_folder(platform  DEPS vb_platform vb_platform_win32
                   WINDOWS_EXCLUDE "/(desktop_resources|web_browser|text_renderer)_test\\.cpp$")

# The tools' units and their operating-system layer. The suites that drive
# the programs through a POSIX shell stay on Linux; scripts/test-windows-tools
# runs the programs themselves under Wine.
vb_add_test_folder(tools     DEPS vb_render
                   WINDOWS_EXCLUDE "/(package|png_tool_cli|vst_render_[a-z]+)_test\\.cpp$")
# Its 64-bit file offsets (vb_platform_system) differ from the shared
# precompiled header's, which the compiler would refuse file by file.
set_target_properties(test_tools PROPERTIES DISABLE_PRECOMPILE_HEADERS ON)

# Plug-ins built only for tests, as DLLs with the same export rules.
file(GLOB test_plugin_dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/plugins/*)
foreach(dir IN LISTS test_plugin_dirs)
  get_filename_component(name ${dir} NAME)
  if(IS_DIRECTORY ${dir} AND NOT name STREQUAL "controlpanel")
    file(GLOB psrcs CONFIGURE_DEPENDS ${dir}/*.cpp)
    vb_add_plugin(testplugin_${name} ${psrcs})
    target_link_libraries(testplugin_${name} PRIVATE vb_vst)
    set_target_properties(testplugin_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/testplugins)
    add_dependencies(test_host testplugin_${name})
    add_dependencies(test_tools testplugin_${name})
  endif()
endforeach()

# The plug-in as a Windows host meets it: the DLL loaded through
# LoadLibraryW, its editor in a Win32 frame.
vb_add_test_folder(plugin    DEPS vb_editor vb_platform_win32 psapi)
add_dependencies(test_plugin VordaBrasswick)

# The same settings rendered by both builds (scripts/test compares them).
add_executable(render-matrix ${CMAKE_CURRENT_SOURCE_DIR}/matrix/render_matrix_main.cpp)
target_link_libraries(render-matrix PRIVATE vb_testsupport)
