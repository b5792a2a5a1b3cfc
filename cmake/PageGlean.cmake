# Helpers shared by the module CMakeLists files.

if(PG_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# pg_add_tests(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable per module; each TEST becomes one CTest test.
function(pg_add_tests name)
  if(NOT PG_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "PG_TEST_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# pg_add_fuzzer(<name> SOURCES <files...> LIBS <targets...>): a libFuzzer target.
function(pg_add_fuzzer name)
  if(NOT PG_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY PG_FUZZERS ${name})
endfunction()
