#pragma once
// The files this process created for itself under names in a directory that others may
// write to (its temporary files), each held open under its name. A name is written or
// removed only while it still leads to the file held for it; a replacement that
// replaceFile() makes of such a file is held in its place, so it stays this process's own.
// Any thread may call; the registry's lock is held only within these calls.
//
//     OwnedFiles::add(name, createExclusive(name));
//     OwnedFiles::with(name, [](FileDescriptor* file) { ... reopenPath(*file) ... });
//     OwnedFiles::remove(name);

#include <functional>
#include <string>

#include "platform/src/fileDescriptor.h"

namespace platform {

class OwnedFiles {
 public:
  // Holds `file`, created by this process as `name` (a full path, UTF-8), until remove().
  static void add(const std::string& name, FileDescriptor file);
  // Lets the file go, and removes `name` when it still leads to it; what was put in its
  // place is someone else's.
  static void remove(const std::string& name);
  // Calls `use` with the file held for `name`, under the lock, and returns true; returns
  // false without calling it when `name` is no name of this registry. `use` may replace
  // the file it is given (by the replacement now under the name) and may throw.
  static bool with(const std::string& name, const std::function<void(FileDescriptor&)>& use);
};

}  // namespace platform
