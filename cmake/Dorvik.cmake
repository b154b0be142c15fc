# Shared build helpers.

# Module strings are CP949 bytes at run time; sources stay UTF-8.
# clang takes no execution character set but UTF-8, so the libFuzzer build keeps its
# literals in UTF-8: the fuzzed decoders read outside bytes and never compare them
# with the module's strings, and that build ships nothing.
function(dorvik_module_target target)
  if(DORVIK_LIBFUZZER)
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8)
  else()
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP949)
  endif()
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# Sources of the module that a unity batch must leave alone, on every target.
function(dorvik_module_source_properties)
  # Two GIF decoders with the same private vocabulary (CodeReader, PixelWriter,
  # TableBytes, the block labels): each keeps its names, in a translation unit of its own.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/graphics/KKGIF.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  # The table initialisation test reads each object of tables/ for static initialisers.
  file(GLOB table_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tables/*.cpp)
  set_source_files_properties(${table_sources} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  # Highway's foreach_target compiles these once per SIMD target by including each file
  # again, so they stay out of any unity batch.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/graphics/KK_FXWide.cpp ${CMAKE_SOURCE_DIR}/widgets/SoftBlitWide.cpp
                              PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()

# One GoogleTest executable per tests/ sub-folder.
#   dorvik_test_dir(<name> <folder> [MODULE])
# MODULE: the tests compare module strings, so they compile in CP949 and link the module.
function(dorvik_test_dir name folder)
  cmake_parse_arguments(ARG "MODULE" "" "" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  dorvik_unity(${name})
  target_link_libraries(${name} PRIVATE dorvik_test_support GTest::gtest GTest::gmock Threads::Threads plat)
  if(ARG_MODULE)
    dorvik_module_target(${name})
    dorvik_test_pch(${name} module)
    if(TARGET dorvik2_core)
      target_link_libraries(${name} PRIVATE dorvik2_core)
    endif()
  else()
    # The other programs differ in their definitions: one header each.
    dorvik_test_pch(${name} ${name})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "DORVIK_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()
