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
