# Fuzz targets of the path and command-line parsers.
pg_add_fuzzer(tools_commandLine_fuzz SOURCES fuzz/commandLineFuzz.cpp LIBS tools)
pg_add_fuzzer(tools_path_fuzz SOURCES fuzz/pathFuzz.cpp LIBS tools)
