# The date/time template processor builds on the template processor, which itself builds
# on this module, so it has a library and a test program of its own.
add_library(strftimeTemplateProcessor src/strftime/strftimeTemplateProcessor.cpp)
target_link_libraries(strftimeTemplateProcessor PUBLIC templateProcessor tools)

include(${CMAKE_CURRENT_LIST_DIR}/tests/strftime/strftime.cmake)
