# The Windows configuration (cmake/toolchain-mingw-i686.cmake): the product, built into
# Dorvik2.dll against the system's own API, and the seam's conformance suite. No other
# tests, tools, fuzz targets or benchmarks, and none of the headless layer: the system draws text, decrypts and reads
# pictures itself. libogg, libvorbis(file) and Highway come as static libraries from the
# prefix DORVIK_WINDOWS_DEPS (default build-windows/deps, with lib/pkgconfig/*.pc).

enable_language(RC)
find_package(PkgConfig REQUIRED)
pkg_check_modules(VORBISFILE REQUIRED vorbisfile)
# The SIMD vocabulary of the pixel rows; its dispatch picks the target at run time.
pkg_check_modules(HWY REQUIRED libhwy)

# The layer's Windows side: its own additions over the system, and the code every side
# shares. The simulation (platform/src) never comes in.
file(GLOB_RECURSE PLAT_WINDOWS_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/platform/windows/src/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/shared/src/*.cpp)
add_library(plat STATIC ${PLAT_WINDOWS_SOURCES})
target_include_directories(plat PUBLIC ${CMAKE_SOURCE_DIR}/platform/windows/include
                                       ${CMAKE_SOURCE_DIR}/platform/shared/include
                                PRIVATE ${CMAKE_SOURCE_DIR}/platform/shared/src)

# Every product source, in the DLL.
add_library(Dorvik2 SHARED ${DORVIK_MODULE_SOURCES} ${CMAKE_SOURCE_DIR}/module/Dorvik2.rc
                           ${CMAKE_SOURCE_DIR}/module/Dorvik2.def)
dorvik_module_target(Dorvik2)
dorvik_unity(Dorvik2)
dorvik_module_pch(Dorvik2)
set_source_files_properties(${CMAKE_SOURCE_DIR}/module/Dorvik2.rc PROPERTIES SKIP_PRECOMPILE_HEADERS ON
                                                                             SKIP_UNITY_BUILD_INCLUSION ON)
target_compile_options(Dorvik2 PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${VORBISFILE_STATIC_CFLAGS} ${HWY_STATIC_CFLAGS}>)
target_link_directories(Dorvik2 PRIVATE ${VORBISFILE_STATIC_LIBRARY_DIRS} ${HWY_STATIC_LIBRARY_DIRS})
# The library file the host loads, beside the build's other outputs: Dorvik2.dll.
set_target_properties(Dorvik2 PROPERTIES PREFIX "" OUTPUT_NAME Dorvik2
                                         RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# Imports from the system's DLLs only: the C and C++ runtimes of the compiler, its
# threads and the libraries above are linked in.
target_link_libraries(Dorvik2 PRIVATE plat ${VORBISFILE_STATIC_LIBRARIES} ${HWY_STATIC_LIBRARIES}
  ddraw dsound dxguid winmm msimg32 gdi32 user32 advapi32 oleaut32 ole32 shell32 uuid)
# -static takes the static forms of the compiler's libraries (libstdc++, libgcc,
# libwinpthread); the system's libraries have only import libraries.
target_link_options(Dorvik2 PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--no-undefined)

# The smoke host that scripts/test --windows runs under Wine: a program beside the
# module, which it loads by file like any host.
add_subdirectory(${CMAKE_SOURCE_DIR}/tools/winhost ${CMAKE_BINARY_DIR}/tools/winhost)
# The seam's conformance suite against the system itself, run under Wine by
# tools/winhost/wine_seam.sh.
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/seam ${CMAKE_BINARY_DIR}/tests/seam)
