# `cmake --install` puts the plug-in where Linux VST 2.4 hosts look for it
# (lib/vst under the prefix: /usr/local/lib/vst by default, /usr/lib/vst with
# --prefix /usr) and the command-line tools in bin. Components "plugin" and
# "tools" install one part alone.
set(VB_VST_INSTALL_DIR "lib/vst" CACHE STRING "Plug-in folder, relative to the install prefix or absolute")

if(TARGET VordaBrasswick)
  install(TARGETS VordaBrasswick LIBRARY DESTINATION ${VB_VST_INSTALL_DIR} COMPONENT plugin)
endif()
foreach(tool vst-render png-tool)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION bin COMPONENT tools)
  endif()
endforeach()

# The Debian package: `cpack -G DEB` in the build folder (or the target
# `package`) makes vorda-brasswick_VERSION_ARCH.deb with the plug-in in
# /usr/lib/vst, the tools in /usr/bin, their manual pages, and the
# changelog and DEP-5 copyright file in /usr/share/doc/vorda-brasswick;
# dpkg-shlibdeps computes the libraries it depends on. The maintainer is
# -DVB_PACKAGE_MAINTAINER="Name <address>".
set(VB_PACKAGE_MAINTAINER "Vorda <vorda@example.org>" CACHE STRING "Maintainer field of the Debian package")
set(VB_DOC_DIR share/doc/vorda-brasswick)

# Manual pages, made from each tool's --help when the tool is built.
set(VB_TOOL_SUMMARY_vst-render "render audio through any VST 2.4 plug-in")
set(VB_TOOL_SUMMARY_png-tool "decode, encode and inspect PNG files with the plug-in's codec")
foreach(tool vst-render png-tool)
  if(TARGET ${tool})
    set(page ${PROJECT_BINARY_DIR}/man/${tool}.1.gz)
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:${tool}> -DNAME=${tool} "-DSUMMARY=${VB_TOOL_SUMMARY_${tool}}"
              -DVERSION=${PROJECT_VERSION} -DOUT=${page} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      DEPENDS ${tool} ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      COMMENT "Manual page of ${tool}"
      VERBATIM)
    add_custom_target(${tool}-man ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION share/man/man1 COMPONENT tools)
    # The compiler's identification adds nothing to an installed program.
    install(CODE "execute_process(COMMAND objcopy --remove-section=.comment
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${tool}\")" COMPONENT tools)
  endif()
endforeach()
if(TARGET VordaBrasswick)
  install(CODE "execute_process(COMMAND objcopy --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VB_VST_INSTALL_DIR}/VordaBrasswick.so\")"
          COMPONENT plugin)
endif()

# The changelog, compressed as Debian keeps it (no name or time in the
# gzip header, so the package is reproducible).
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/changelog OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${VB_DOC_DIR} COMPONENT plugin)

# The copyright file (DEP-5): our MIT licence from LICENSE, and the
# licences of what the package embeds (the DejaVu faces, libdeflate) or
# links (FreeType, zlib, libsndfile, libsoxr).
function(vb_indent_licence text out)
  string(REGEX REPLACE "\n$" "" text "${text}")
  string(REGEX REPLACE "\n\n" "\n.\n" text "${text}")
  string(REGEX REPLACE "\n" "\n " text "${text}")
  set(${out} " ${text}" PARENT_SCOPE)
endfunction()
file(READ ${PROJECT_SOURCE_DIR}/LICENSE VB_LICENSE_TEXT)
vb_indent_licence("${VB_LICENSE_TEXT}" VB_EXPAT)
file(READ ${PROJECT_SOURCE_DIR}/fonts/LICENSE VB_FONT_COPYRIGHT)
string(REGEX MATCH "License: bitstream-vera\n( [^\n]*\n)+" VB_BITSTREAM "${VB_FONT_COPYRIGHT}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${VB_DOC_DIR} COMPONENT plugin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorda-brasswick)
set(CPACK_PACKAGE_VENDOR Vorda)
set(CPACK_PACKAGE_CONTACT "${VB_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VB_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drive effect (VST 2.4 plug-in for Linux) and a command-line plug-in host")
# Lines of at most 80 characters, as Debian's extended descriptions.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Vorda Brasswick is a two-channel soft clipper with 1x/8x/16x oversampling,\n"
       "filters and a four-band tone stack, with an X11 editor.\n"
       "vst-render renders audio files through any VST 2.4 plug-in, and png-tool\n"
       "exposes the PNG codec.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebWithoutLdconfig.cmake)
include(CPack)
