#pragma once
// Reads INI files the way the Windows profile reader does, for files the program only reads
// (language files, string maps, the registry stand-in):
// - "[name]" starts a section; "key=value" lines belong to the section above them; lines
//   before the first section, lines without '=' and lines starting with ';' are skipped;
// - section and key names compare without regard to ASCII case, after trimming blanks;
// - the first section of a name and the first key of a name in it win;
// - values are trimmed of blanks and tabs, then one pair of enclosing quotes (" or ') is
//   removed.
// Names and values are bytes (UTF-8); a UTF-8 byte order mark at the start is skipped.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class IniFile {
 public:
  IniFile() = default;

  // Parses the file at `path`. Returns 0, or the errno value of the failed read (ENOENT for
  // a missing file); the object is then empty.
  int read(const std::string& path);
  void parse(std::string_view text);

  bool hasSection(std::string_view section) const;
  // The value of `key` in `section`; nothing when either is absent.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  // The names the reader would list: sections, or the keys of one section, in file order,
  // each name once in its first spelling.
  std::vector<std::string> sectionNames() const;
  std::vector<std::string> keyNames(std::string_view section) const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  const Section* findSection(std::string_view section) const;

  std::vector<Section> sections_;
};

// GetPrivateProfileString: the value of `key` in `section` of the file at `path`, or
// `defaultValue` when the file, section or key is absent or the value is empty.
std::string privateProfileString(std::string_view section, std::string_view key,
                                 const std::string& defaultValue, const std::string& path);

// ASCII case-insensitive equality, the name comparison of INI and registry names.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace platform
