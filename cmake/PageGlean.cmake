# Helpers shared by the module CMakeLists files.

if(PG_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# The module order, lowest first, read from scripts/checkLayers.sh, which states the rule: a
# module may include and link itself and the modules before it, nothing else.
set(PG_LAYER_RULE ${PROJECT_SOURCE_DIR}/scripts/checkLayers.sh)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PG_LAYER_RULE})
file(READ ${PG_LAYER_RULE} pg_rule)
if(NOT pg_rule MATCHES "\norder=[(]([^)]*)[)]")
  message(FATAL_ERROR "${PG_LAYER_RULE} has no order=(...) list")
endif()
string(REGEX REPLACE "[ \t\n]+" ";" PG_MODULES "${CMAKE_MATCH_1}")
list(FILTER PG_MODULES EXCLUDE REGEX "^$")
unset(pg_rule)

# The include root of a module's code: a folder in the build tree holding a symbolic link to
# `<m>/src` for each module m that the module may use (with `<m>/tests` for test code), so
# `#include "config/src/store.h"` resolves only where config lies below. Only src and tests
# are linked, never a whole folder, so platform does not see platform/inet inside it.
# _pg_include_root(<out> <folder> <level> LIBRARY|TESTS): `level` is the highest module of
# the order that `folder` may use (the folder itself, for a module of the order).
function(_pg_include_root out folder level kind)
  list(FIND PG_MODULES ${level} index)
  if(index LESS 0)
    message(FATAL_ERROR "${level} is not in the module order of ${PG_LAYER_RULE}")
  endif()
  math(EXPR count "${index} + 1")
  list(SUBLIST PG_MODULES 0 ${count} allowed)
  list(APPEND allowed ${folder})
  set(parts src)
  if(kind STREQUAL "TESTS")
    list(APPEND parts tests)
    list(APPEND allowed testSupport)
  endif()
  list(REMOVE_DUPLICATES allowed)
  string(REPLACE "/" "." key ${folder})
  set(root ${CMAKE_BINARY_DIR}/layers/${key}/${kind})
  set(${out} ${root} PARENT_SCOPE)
  get_property(done GLOBAL PROPERTY PG_ROOT_${key}_${kind})
  if(done)
    return()
  endif()
  set_property(GLOBAL PROPERTY PG_ROOT_${key}_${kind} TRUE)
  # Made afresh at each configure, so a module that moved in the order loses its links.
  file(REMOVE_RECURSE ${root})
  foreach(module IN LISTS allowed)
    set(partsHere ${parts})
    if(module STREQUAL "testSupport")
      set(partsHere src)
    endif()
    foreach(part IN LISTS partsHere)
      if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${module}/${part})
        get_filename_component(parent ${root}/${module}/${part} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${module}/${part} ${root}/${module}/${part}
             SYMBOLIC)
      endif()
    endforeach()
  endforeach()
endfunction()

# The module folder of the CMakeLists.txt being read, relative to the project.
function(_pg_current_folder out)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(${out} ${folder} PARENT_SCOPE)
endfunction()

# pg_module(<target> [LEVEL <module>] [USES <targets...>] [PRIVATE <targets...>])
# Makes <target> (a library or program of the current folder's module) see only the headers
# of its module and those below it, and links USES publicly and PRIVATE privately; the links
# are checked by pg_check_module_links.
# LEVEL places a folder that is not in the order (testSupport) just above that module.
function(pg_module target)
  cmake_parse_arguments(ARG "" "LEVEL" "USES;PRIVATE" ${ARGN})
  _pg_current_folder(folder)
  set(level ${folder})
  if(ARG_LEVEL)
    set(level ${ARG_LEVEL})
  endif()
  _pg_include_root(root ${folder} ${level} LIBRARY)
  list(FIND PG_MODULES ${level} index)
  set_target_properties(${target} PROPERTIES PG_MODULE ${folder} PG_LEVEL_INDEX ${index}
                                             PG_USES "${ARG_USES};${ARG_PRIVATE}")
  set_property(GLOBAL APPEND PROPERTY PG_MODULE_TARGETS ${target})
  if(ARG_LEVEL)
    set_target_properties(${target} PROPERTIES PG_TEST_ONLY TRUE)
  endif()
  target_include_directories(${target} PRIVATE ${root})
  target_link_libraries(${target} PUBLIC ${ARG_USES} PRIVATE ${ARG_PRIVATE})
endfunction()

# Stops the configuration where a target of pg_module links a module that does not lie below
# it, or the test support. Called once all modules are added.
function(pg_check_module_links)
  get_property(targets GLOBAL PROPERTY PG_MODULE_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(folder ${target} PG_MODULE)
    get_target_property(index ${target} PG_LEVEL_INDEX)
    get_target_property(uses ${target} PG_USES)
    foreach(used IN LISTS uses)
      if(NOT TARGET ${used})
        continue()
      endif()
      get_target_property(testOnly ${used} PG_TEST_ONLY)
      get_target_property(usedFolder ${used} PG_MODULE)
      if(testOnly)
        message(FATAL_ERROR "${target} (${folder}) links ${used}, which is for tests only")
      endif()
      if(usedFolder)
        list(FIND PG_MODULES ${usedFolder} usedIndex)
        if(usedIndex GREATER index)
          message(FATAL_ERROR
                  "${target} (${folder}) links ${used} of ${usedFolder}, which lies above it")
        endif()
      endif()
    endforeach()
  endforeach()
endfunction()

# pg_test_code(<target>): <target> is test code of the current folder's module; it sees the
# headers and test helpers of its module and those below it, and the test support.
function(pg_test_code target)
  _pg_current_folder(folder)
  _pg_include_root(root ${folder} ${folder} TESTS)
  target_include_directories(${target} PRIVATE ${root})
endfunction()

# pg_add_qt_tests(<name> SOURCES <files...> LIBS <targets...> TIMEOUT <seconds>)
# One Qt Test executable, run as one CTest test on Qt's offscreen platform.
function(pg_add_qt_tests name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  pg_test_code(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} testSupport Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
                       TIMEOUT ${ARG_TIMEOUT})
endfunction()

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
  pg_test_code(${name})
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

# pg_add_fuzzer(<name> SOURCES <files...> LIBS <targets...>): a libFuzzer target, whose seeds
# are in fuzz/corpus/<name>/ (with each crash case found, beside its fix). The clang build
# (PG_FUZZ) makes the fuzzer; the test build makes <name>Replay, the same code with a main
# that runs every seed once under the sanitizers, as the CTest test FuzzReplay.<name>.
function(pg_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
  if(NOT IS_DIRECTORY ${corpus})
    message(FATAL_ERROR "fuzz target ${name} has no seeds in ${corpus}")
  endif()
  if(PG_FUZZ)
    set(program ${name})
    add_executable(${program} ${ARG_SOURCES})
    target_link_options(${program} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY PG_FUZZERS ${name})
  elseif(PG_TESTS AND NOT PG_TSAN)
    set(program ${name}Replay)
    add_executable(${program} ${ARG_SOURCES}
                              ${PROJECT_SOURCE_DIR}/testSupport/src/fuzzReplay.cpp)
    add_test(NAME FuzzReplay.${name} COMMAND ${program} ${corpus})
    set_tests_properties(FuzzReplay.${name} PROPERTIES LABELS fuzz TIMEOUT 60)
  else()
    return()
  endif()
  pg_test_code(${program})
  target_link_libraries(${program} PRIVATE ${ARG_LIBS})
endfunction()
