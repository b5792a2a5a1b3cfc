#pragma once
// Reading a whole file into memory, for inputs that are used as a block (a saved page, a
// settings file). A failure names the system's reason. Any thread may call; nothing is
// shared, and the descriptor opened is closed before the call returns (or throws).
//
// readWholeFile takes any file the name opens:
// - A directory, a device or a pipe is read like a file would be, but a directory fails
//   with EISDIR at once.
// - A file longer than `maxBytes` is not read: the result is EFBIG and `bytes` stays empty.
// - A failure leaves `bytes` empty.
//
// readRegularFile takes regular files only, for names that come from users (a page's URL):
// - Anything else is refused before it is opened, so a pipe without a writer or a device
//   never blocks the caller; the descriptor is opened non-blocking and checked again, in
//   case another file took the name in between.
// - A file whose size is more than `maxBytes` is refused unread; one that grows past it
//   while it is read fails once it does.
// - The bytes go to `take` block by block as they are read; an exception from `take` ends
//   the reading and passes through.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// `path` is in the file system's encoding (UTF-8). Returns 0, or the errno of the failing
// call.
int readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes);

struct RegularFileResult {
  enum class Stage {
    Done,
    Open,        // the name leads nowhere, or the file could not be examined or opened
    NotRegular,  // a directory (error EISDIR), or a pipe, device or socket (error 0)
    TooLarge,    // more than maxBytes (error EFBIG)
    Read,        // a read failed after the file was open
  };
  Stage stage = Stage::Done;
  int error = 0;  // errno of the failing call, as above

  bool ok() const { return stage == Stage::Done; }
};

// `path` is in the file system's encoding (UTF-8).
RegularFileResult readRegularFile(const std::string& path, std::size_t maxBytes,
                                  const std::function<void(std::string_view)>& take);

}  // namespace platform
