# The command runner reports start failures with the system's error texts.
target_link_libraries(tools PUBLIC win32tools)
