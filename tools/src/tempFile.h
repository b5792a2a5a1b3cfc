#pragma once
// A narrow output file stream over a new, uniquely named temporary file. The file exists,
// empty, from construction to destruction; the stream itself starts closed and is opened
// on fileName() by its user whenever it wants to write (every open truncates).
//
//     TempFile page(L".html");
//     page.open(misc::toAnsi(page.fileName()));
//     page << text;
//     page.close();
//     // ~TempFile closes the stream if still open and deletes the file.

#include <fstream>
#include <string>

namespace tools {

class TempFile : public std::ofstream {
 public:
  // Creates "tarvo<number><extension>" (a dot is added to an extension without one) in the
  // directory named by $TMP (also tried with its double quotes removed), else $TMPDIR, else
  // /tmp. The name is new within and across processes and no existing file is ever
  // opened or truncated. Throws misc::wruntime_error "Can't create temporary file." when no
  // file can be created there.
  explicit TempFile(const std::wstring& extension = {});
  ~TempFile() override;

  // The full path of the file, fixed at construction.
  const std::wstring& fileName() const { return fileName_; }

 private:
  std::wstring fileName_;
};

}  // namespace tools
