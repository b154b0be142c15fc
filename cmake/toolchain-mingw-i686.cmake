# Cross-compiling for 32-bit Windows with Debian's MinGW-w64. The posix-threads
# variant: the C++ standard library's threads, mutexes and condition variables need it.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(DORVIK_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${DORVIK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DORVIK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DORVIK_MINGW_TRIPLET}-windres)
# SSE arithmetic, as the Linux builds have it: x87's 80-bit intermediates round some
# products differently (0.3 x 1000 stays below 300), and the module's money shares and
# mixer levels must come out the same on every target.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# The libraries scripts/windows-deps cross-builds from Debian's sources.
if(NOT DORVIK_WINDOWS_DEPS)
  get_filename_component(DORVIK_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-windows/deps" ABSOLUTE)
endif()
# The compiler checks read this file again in a project of their own, in the same
# process: without the prefix they would point pkg-config at another one.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DORVIK_WINDOWS_DEPS)

# Headers and libraries come from the compiler's own tree and that prefix, never from
# the build machine's; programs (pkg-config, windres) are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${DORVIK_MINGW_TRIPLET} ${DORVIK_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the prefix's .pc files alone: a Linux library of the same name must
# not answer for a Windows one.
set(ENV{PKG_CONFIG_LIBDIR} "${DORVIK_WINDOWS_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
