#pragma once
// The store whose persistent form is an INI file, the format the plug-in reads too:
//
//   rootKey=value            keys of the root section come first, without a header
//   [section]                then every section depth-first, in name order
//   key=value                keys in case-insensitive order, no blanks around '='
//   [section/child]          a nested section under its full name
//
// Files are UTF-8 without a byte-order mark (but for a first key that starts with one) and
// lines end in CR LF. Values are written with every byte below 0x20 and every '%' as "%XX"
// (upper-case hex), so a value always stays on one line; the reader decodes "%XX" and keeps
// any other '%'. The reader also takes LF and lone CR line ends, an initial byte-order
// mark, blank lines, whole-line comments (see the flags), repeated headers (they merge) and
// repeated keys (the last one wins), and skips lines it cannot read. A block-data section
// holds the lines up to the next header as its text. Sections nest at most
// internal::kMaxSectionDepth (100) deep: the reader skips a deeper header with its lines, and
// the writer refuses a deeper tree.
//
// Saving writes a temporary file beside the target and renames it into place, so a failure
// (a full disk, no permission) raises config::Exception, whose message names the system's
// reason, and leaves the old file as it was and the store dirty. Any name that a file can
// be loaded under can be saved under. Names the format cannot carry (a key with '=' or a
// line break, with blanks at its ends, starting like a comment or a header) are refused the
// same way instead of being written as something else.

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "config/src/store.h"

namespace platform {
class IniFile;
}

namespace config {

class IniFileStore : public Store {
 public:
  // Comment styles: lines whose first non-blank characters are these are skipped.
  static constexpr std::uint32_t commentSlashes = 0x01;    // "//"
  static constexpr std::uint32_t commentHash = 0x02;       // '#'
  static constexpr std::uint32_t commentQuote = 0x04;      // '\''
  static constexpr std::uint32_t commentSemicolon = 0x08;  // ';'
  // Replaced at construction by the process-wide default: all four comment styles.
  static constexpr std::uint32_t useDefaultFlags = 0x8000;

  IniFileStore(const wchar_t* const* blockSectionNames, std::uint32_t flags);
  // Ends the store's delayed saves first; a class derived from this one does the same in its
  // own destructor when its saves may be queued (see Store::endDelayedSaves).
  ~IniFileStore() override;

  // Raises config::Exception for an empty path. Marks the store dirty.
  void setFileName(const std::wstring& path);
  std::uint32_t flags() const { return flags_; }

  // Replaces the tree by the file's content; a file that cannot be read leaves an empty,
  // clean tree. Either way the store keeps `path` as its file.
  virtual void loadFile(const std::wstring& path);
  // Saves to `path` (see Store::save for `force`); a non-forced save also writes, since
  // setting the file name marks the store dirty.
  virtual void saveFile(const std::wstring& path, bool force);
  // Compares the file, as the system's plain INI reader sees it, with the tree: a missing
  // section or key, a differing value, and a section or key that only the file has each
  // append one line to `report`. Root keys, which that reader cannot see, are left out.
  virtual void verifySections(std::wstring& report);
  // verifySections after each load and save while the diagnostic switch is on; reports
  // differences to the log and in a message box.
  virtual void autoVerify();
  // Writes `section` and its descendants.
  virtual void writeSection(StoreSection& section, std::ostream& out);
  // Writes the text of a block-data section; a line the reader would take for a header
  // (or a line that holds a carriage return) is refused with config::Exception.
  void writeBlock(StoreSection& section, std::ostream& out);
  // Compares one section and its descendants with the file as `file` read it, striking
  // every section it finds off `remaining`.
  virtual void verifySection(StoreSection& section, const platform::IniFile& file,
                             std::vector<std::string>& remaining, std::wstring& report);

  std::wstring getName() override;

  // The process-wide switch of the auto-verify diagnostic; off.
  static bool autoVerifyEnabled();
  static void setAutoVerifyEnabled(bool enabled);

 protected:
  void readFrom(std::istream& in) override;
  void writeTo(std::ostream& out) override;
  void onReset() override;
  std::unique_ptr<std::ostream> openSaveStream() override;
  void closeSaveStream(std::unique_ptr<std::ostream> stream) override;

 private:
  void writeValues(StoreSection& section, std::ostream& out);

  std::uint32_t flags_;
  std::wstring fileName_;
};

}  // namespace config
