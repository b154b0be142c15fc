# What keeps a build from a fresh clone short on a two-core machine: unity batches,
# precompiled headers, a faster linker, and ccache for developers' repeated builds.
# Every measure is on by default; each can be turned off from the command line:
#   -DCMAKE_UNITY_BUILD=OFF -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON
# builds each file alone, as it would compile by itself (missing includes show there).
# -DDORVIK_LINKER=bfd keeps the system linker.

# Unity batches for the large targets (the module's objects, the layer, the test
# programs), not globally: small tools and helper libraries gain nothing.
if(DEFINED CMAKE_UNITY_BUILD)
  set(DORVIK_UNITY ${CMAKE_UNITY_BUILD})
else()
  set(DORVIK_UNITY ON)
endif()
set(DORVIK_UNITY_BATCH 16 CACHE STRING "Source files per unity batch")

function(dorvik_unity target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ${DORVIK_UNITY}
                                             UNITY_BUILD_BATCH_SIZE ${DORVIK_UNITY_BATCH})
endfunction()

# The standard headers nearly every file includes; the module adds the headers of the
# platform layer and of base/, which every layer may include, the test programs
# GoogleTest's.
set(DORVIK_PCH_STD <algorithm> <array> <cstdint> <cstring> <functional> <map> <memory> <mutex>
                   <span> <string> <string_view> <utility> <vector>)
function(dorvik_module_pch target)
  target_precompile_headers(${target} PRIVATE ${DORVIK_PCH_STD}
    <plat/types.h> <plat/com.h> <plat/ddraw.h> <plat/gdi.h> <plat/winuser.h> <plat/time.h>
    <base/GGeometry.h> <base/DDSurfaceUtil.h> <base/ByteReader.h> <base/PixelFormat.h> <base/TextUtil.h>)
endfunction()

# One precompiled header serves every test program of the same compile options and
# definitions (GCC refuses a header made under other definitions): the first of each
# kind makes it, the others reuse it.
function(dorvik_test_pch target kind)
  get_property(donor GLOBAL PROPERTY DORVIK_TEST_PCH_${kind})
  if(donor)
    target_precompile_headers(${target} REUSE_FROM ${donor})
  else()
    target_precompile_headers(${target} PRIVATE ${DORVIK_PCH_STD} <gtest/gtest.h> <gmock/gmock.h>)
    set_property(GLOBAL PROPERTY DORVIK_TEST_PCH_${kind} ${target})
  endif()
endfunction()

# The linker: mold, else lld, else the system's. Test programs link the module's whole
# static library, and there are dozens of them; GNU ld spends seconds on each.
set(DORVIK_LINKER "" CACHE STRING "Linker for -fuse-ld= (empty: mold, else lld, else the default)")
if(NOT DORVIK_LINKER)
  include(CheckLinkerFlag)
  foreach(candidate mold lld)
    check_linker_flag(CXX -fuse-ld=${candidate} DORVIK_HAVE_LD_${candidate})
    if(DORVIK_HAVE_LD_${candidate})
      set(DORVIK_LINKER ${candidate})
      break()
    endif()
  endforeach()
endif()
if(DORVIK_LINKER AND NOT DORVIK_LINKER STREQUAL "bfd")
  add_link_options(-fuse-ld=${DORVIK_LINKER})
endif()
message(STATUS "Dorvik2: linker ${DORVIK_LINKER}, unity ${DORVIK_UNITY}")

# ccache for developers: CI starts from a fresh clone and would only fill a cache it
# never reads. The sloppiness lets it cache files built with a precompiled header.
if(NOT DEFINED ENV{CI} AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  find_program(DORVIK_CCACHE ccache)
  if(DORVIK_CCACHE)
    set(launcher ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
                 ${DORVIK_CCACHE})
    set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
  endif()
endif()
