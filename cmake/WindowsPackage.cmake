# The Windows distribution: `cpack -G ZIP` and `cpack -G NSIS` in the build
# folder make the zip (the DLL, the tools, a README, the licence) and an installer that
# puts the DLL in %CommonProgramFiles%\VST2 unless the user picks another
# folder, and registers an uninstaller.
if(TARGET VordaBrasswick)
  install(TARGETS VordaBrasswick RUNTIME DESTINATION . COMPONENT plugin LIBRARY DESTINATION . COMPONENT plugin)
endif()
# The command-line tools in bin\, which the installer adds to the PATH only
# when the user ticks it (CPACK_NSIS_MODIFY_PATH; unticked by default).
foreach(tool vst-render png-tool)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION bin COMPONENT plugin)
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/windows/README.txt DESTINATION . COMPONENT plugin)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT plugin)
endif()

set(CPACK_PACKAGE_NAME "VordaBrasswick")
set(CPACK_PACKAGE_VENDOR "Vorda")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Brasswick, a VST 2.4 drive effect")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "VordaBrasswick-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "VST2")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Vorda Brasswick")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
endif()

# NSIS: a 64-bit install into the common files' VST2 folder by default.
set(CPACK_NSIS_PACKAGE_NAME "Vorda Brasswick ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Vorda Brasswick ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$COMMONFILES64")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_UNINSTALL_NAME "Uninstall Vorda Brasswick")
# The uninstaller removes only what the installer put there; the folder goes
# when it is empty, so other plug-ins in VST2 stay.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "SetRegView 64")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "SetRegView 64")
set(CPACK_NSIS_MODIFY_PATH ON)
set(CPACK_GENERATOR "ZIP;NSIS")
include(CPack)
