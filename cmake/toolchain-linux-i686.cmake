# 32-bit x86 Linux: the host's g++ with -m32 (g++-multilib) against Debian's i386
# packages, which install beside their amd64 twins under /usr/lib/i386-linux-gnu.
# i386 programs run on an x86-64 kernel as they are, so the tests run here too.
#   cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux-i686.cmake
# Not a cross build to CMake (no CMAKE_SYSTEM_NAME): the generators and the tests are
# built programs the build runs as they are.
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# SSE2 arithmetic, not the x87 stack: x87 keeps intermediates at 80 bits, so scaled and
# blended pixels would round differently from the 64-bit build and the frame hashes
# would split.
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
# The i386 packages' libraries, CMake packages (GoogleTest's) and pkg-config files.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
