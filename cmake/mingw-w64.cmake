# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads,
# so std::thread and std::mutex work in the tests).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VB_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VB_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VB_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VB_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${VB_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${VB_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# Libraries and headers come from the mingw sysroot and the cross-built
# dependency cache (scripts/windows-deps), never from the build machine.
if(NOT VB_WINDOWS_DEPS)
  set(VB_WINDOWS_DEPS "$ENV{VB_WINDOWS_DEPS}")
endif()
if(NOT VB_WINDOWS_DEPS)
  set(VB_WINDOWS_DEPS /var/cache/vorda-brasswick/windows-deps)
endif()
# The checks' test projects read this file again: they get the same cache
# (and so leave pkg-config's environment below pointing at it).
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VB_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${VB_MINGW_TRIPLET} ${VB_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config too: the cache's .pc files only, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} ${VB_WINDOWS_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# Test programs run under Wine, by its 64-bit loader (with the 32-bit half
# installed, plain `wine` starts the 32-bit one).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
