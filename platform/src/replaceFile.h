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
// - The temporary file has one name per target, ".<name>.tarvo.tmp" beside it, so a save
//   that is killed leaves at most that file, and the next save of the same target removes
//   it. Saves of one target, from any process, take turns through a lock of that file
//   (waiting up to five seconds for each other); a file of that name that is not a plain
//   file of this user's is never removed, and the save fails with EEXIST.
// - A file held in OwnedFiles is replaced only while its name still leads to it (else the
//   save fails with EPERM), and the replacement is held there in its place.
// - That name is shortened (with a hash of the whole name) where it would be longer than a
//   name may be, and it is used relative to the open directory: any target whose name can
//   be opened can be replaced.

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
