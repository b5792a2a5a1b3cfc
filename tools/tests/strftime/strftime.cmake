file(GLOB strftime_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*Test.cpp)
pg_add_tests(strftimeTemplateProcessor_tests SOURCES ${strftime_tests}
             LIBS strftimeTemplateProcessor)
