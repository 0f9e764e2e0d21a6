# Guards the artwork against depending on the machine that draws it: the
# generated source must hash to the value recorded next to this script.
# After a deliberate change to the pictures (or to the repository's fonts),
# record the new value:
#   sha256sum <build>/tools/artwork/editor_artwork_data.cpp
#
#   cmake -DSOURCE=<generated source> -DRECORDED=<hash file> -P artwork_source_hash.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS ${SOURCE})
  message(FATAL_ERROR "${SOURCE} does not exist: build vb_artwork first")
endif()
file(SHA256 ${SOURCE} actual)
file(STRINGS ${RECORDED} recorded LIMIT_COUNT 1 REGEX "^[0-9a-f]+")
string(REGEX MATCH "^[0-9a-f]+" recorded "${recorded}")
if(NOT actual STREQUAL recorded)
  message(FATAL_ERROR "the generated artwork source hashes to ${actual}, the repository records ${recorded} (${RECORDED})")
endif()
