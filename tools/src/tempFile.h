#pragma once
// A narrow output file stream over a new, uniquely named temporary file. The file exists,
// empty, from construction to destruction; the stream itself starts closed and is opened
// on fileName() by its user whenever it wants to write (every open truncates). Writes
// through open() or by a command run with the name (ExternalCommand) land in the file
// created here and nowhere else: where the directory is shared, someone else may swap the
// name for a link, and the swap is reported instead.
//
//     TempFile page(L".html");
//     page.open(misc::toAnsi(page.fileName()));
//     page << text;
//     page.close();
//     // ~TempFile closes the stream if still open and deletes the file.

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/src/fileDescriptor.h"

namespace tools {

class TempFile : public std::ofstream {
 public:
  // Creates "tarvo<number><extension>" (a dot is added to an extension without one) in the
  // directory named by $TMP (also tried with its double quotes removed), else $TMPDIR, else
  // /tmp. The name is new within and across processes and no existing file is ever
  // opened or truncated. Throws misc::wruntime_error "Can't create temporary file." when no
  // file can be created there.
  explicit TempFile(const std::wstring& extension = {});
  // Closes the stream if it is open and deletes the file, unless its name leads to
  // another one by now. A replacement of the file through platform::replaceFile() counts
  // as the file itself, here and in open().
  ~TempFile() override;

  // The full path of the file, fixed at construction.
  const std::wstring& fileName() const { return fileName_; }

  // Opens the stream; for fileName() (in the file system's encoding) on the file created
  // here, not on whatever the name leads to:
  // - when the name still is that file, the stream is open on it, truncated unless `mode`
  //   says otherwise;
  // - when the name was removed or now leads elsewhere (a link, another file), throws
  //   misc::wruntime_error "The temporary file <name> was removed or replaced by another
  //   file."; the stream stays closed and nothing is written anywhere;
  // - when the file cannot be opened for another reason, the stream is left failed.
  // Any other name is opened as std::ofstream opens it.
  void open(const std::filesystem::path& name, std::ios_base::openmode mode = std::ios_base::out);

  // Opens `path` for writing from its start, as a command's output file is opened: the
  // fileName() of a live TempFile of this process with the check and the exception of
  // open(); any other path as platform::openForWriting() does. Invalid, with the reason in
  // platform::getLastError(), when the file cannot be opened.
  static platform::FileDescriptor openForWriting(const std::wstring& path);

 private:
  // The file itself is held open in platform::OwnedFiles for the object's life: writes
  // reach it through that descriptor, and its inode cannot be reused for another file.
  std::wstring fileName_;
};

}  // namespace tools
