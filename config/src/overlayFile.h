#pragma once
// Layered configuration: a store read from one file, then overridden key by key by others
// (system-wide, then per-user), as the desktop's configuration folders are meant to be used.

#include <string>

#include "config/src/store.h"

namespace config {

// Copies every key of the INI file at `path` into `target`: a key of the same name in the
// same section is replaced, every other key of `target` stays, and sections only the file
// has are created. A file that is missing or cannot be read changes nothing. Marks `target`
// dirty when it copied a key; `target` is never saved by this call. Reads the file with
// the default comment flags. Any thread may call; `target` is write-locked while it changes.
void overlayFile(Store& target, const std::wstring& path);

}  // namespace config
