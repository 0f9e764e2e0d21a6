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
# /usr/lib/vst, the tools in /usr/bin and the copyright file in
# /usr/share/doc/vorda-brasswick; dpkg-shlibdeps computes the libraries it
# depends on.
set(VB_COPYRIGHT_FILE ${PROJECT_BINARY_DIR}/copyright)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE VB_LICENSE_TEXT)
else()
  set(VB_LICENSE_TEXT "No licence has been published for this program yet; all rights are reserved.\n")
endif()
file(WRITE ${VB_COPYRIGHT_FILE}
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Vorda Brasswick\n\n"
  "Files: *\nCopyright: Vorda\nLicense: see below\n\n${VB_LICENSE_TEXT}")
install(FILES ${VB_COPYRIGHT_FILE} DESTINATION share/doc/vorda-brasswick COMPONENT plugin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorda-brasswick)
set(CPACK_PACKAGE_VENDOR Vorda)
set(CPACK_PACKAGE_CONTACT "Vorda <vorda@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Drive effect (VST 2.4 plug-in for Linux) and a command-line plug-in host")
set(CPACK_PACKAGE_DESCRIPTION
    "Vorda Brasswick is a two-channel soft clipper with 1x/8x/16x oversampling, filters and a four-band tone stack, with an X11 editor. vst-render renders audio files through any VST 2.4 plug-in; png-tool exposes the PNG codec.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
