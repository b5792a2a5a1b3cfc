# The child program that the command runner's tests start.
if(TARGET tools_tests)
  add_executable(tools_test_child tests/testChild.cpp)
  add_dependencies(tools_tests tools_test_child)
  target_compile_definitions(tools_tests
                             PRIVATE PG_TEST_CHILD="$<TARGET_FILE:tools_test_child>")
endif()
