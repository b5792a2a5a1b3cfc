# Helpers shared by the module CMakeLists files.

if(PG_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# pg_add_tests(<name> [THREADS] SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable per module; each TEST becomes one CTest test. THREADS marks a
# program whose tests start threads: its tests carry the label "threads", the target
# threadedTests builds every such program, and the PG_TSAN build has no others.
function(pg_add_tests name)
  cmake_parse_arguments(ARG "THREADS" "" "SOURCES;LIBS" ${ARGN})
  if(NOT PG_TESTS OR (PG_TSAN AND NOT ARG_THREADS))
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  if(PG_TSAN)
    target_link_libraries(${name} PRIVATE tsanClockLock)
  endif()
  set(labels "")
  if(ARG_THREADS)
    set(labels threads)
    if(NOT TARGET threadedTests)
      add_custom_target(threadedTests)
    endif()
    add_dependencies(threadedTests ${name})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "PG_TEST_BINARY_DIR=${CMAKE_BINARY_DIR}"
                                  LABELS "${labels}")
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
