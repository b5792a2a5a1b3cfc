#pragma once
// Folders: whether the program may create files in one, and making one with its parents.
// Paths are UTF-8. Any thread may call.

#include <string>

namespace platform {

// Whether `path` names a folder (following symbolic links).
bool isDirectory(const std::string& path);

// Whether `path` is a folder in which this process may create files: it exists, is a
// folder, and the system grants write and search access (a read-only file system refuses).
bool isWritableDirectory(const std::string& path);

// Creates `path` and every missing parent, each new one readable by its owner only (the
// mode the desktop's conventions ask of a user's data folders). Returns 0 when the folder
// exists afterwards, else the errno value of the step that failed; folders made before that
// step stay.
int makeDirectories(const std::string& path);

}  // namespace platform
