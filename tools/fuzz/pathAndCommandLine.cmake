# Fuzz targets of the path and command-line parsers.
pg_add_fuzzer(commandLineFuzzer SOURCES fuzz/commandLineFuzzer.cpp LIBS tools)
pg_add_fuzzer(pathFuzzer SOURCES fuzz/pathFuzzer.cpp LIBS filesys)
