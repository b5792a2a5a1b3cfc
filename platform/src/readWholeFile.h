#pragma once
// Reading a whole file into memory, for inputs that are used as a block (a saved page).
// A failure leaves `bytes` empty and names the system's reason.
//
// - A directory, a device or a pipe is read like a file would be, but a directory fails
//   with EISDIR at once.
// - A file longer than `maxBytes` is not read: the result is EFBIG and `bytes` stays empty.

#include <cstddef>
#include <string>

namespace platform {

// `path` is in the file system's encoding (UTF-8). Returns 0, or the errno of the failing
// call.
int readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes);

}  // namespace platform
