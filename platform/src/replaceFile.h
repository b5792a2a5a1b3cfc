#pragma once
// Replacing a file's content without ever leaving a truncated file behind: the new bytes go
// to a temporary file beside the target, are flushed to disk, and the temporary file is
// renamed over the target. A failure leaves the old file as it was.
//
// - A symbolic link is followed (link by link) and the file it points to is replaced; the
//   link stays a link.
// - A file that exists keeps its permission bits (and its owner, where the process may set
//   it); a new file gets 0666 less the umask, as a plain create would.
// - The target must be writable: a file that could not be opened for writing is not
//   replaced either, even though its directory would allow the rename.
// - A target that exists but is not a regular file (a device, a pipe) is never renamed
//   over: it is opened and written in place.

#include <string>
#include <string_view>

namespace platform {

struct ReplaceFileResult {
  enum class Stage {
    Done,
    Create,  // the target or its temporary file could not be opened or created
    Write,   // writing, flushing, closing or renaming failed
  };
  Stage stage = Stage::Done;
  int error = 0;  // errno of the failing call

  bool ok() const { return stage == Stage::Done; }
};

// `path` is in the file system's encoding (UTF-8).
ReplaceFileResult replaceFile(const std::string& path, std::string_view bytes);

}  // namespace platform
