# Run by cpack after it made the .deb (CPACK_POST_BUILD_SCRIPTS). CPack adds
# postinst and postrm scripts that call ldconfig whenever a shared object
# lies below /usr/lib; ours is a plug-in in /usr/lib/vst, which ldconfig
# never reads, so the package is rebuilt without them.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot unpack ${deb}")
  endif()
  file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b ${tree} ${deb} OUTPUT_QUIET RESULT_VARIABLE rc)
  file(REMOVE_RECURSE ${tree})
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot pack ${deb} again")
  endif()
endforeach()
