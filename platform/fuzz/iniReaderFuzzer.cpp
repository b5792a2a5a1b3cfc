// Parses arbitrary bytes as a read-only INI file (language files, string maps, the registry
// file). What the reader lists it finds under any case and padding of the name, and the
// sections, keys and values it lists, written out as a plain file, read back the same: no
// listed name or value holds what the reader would cut, trim or skip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/src/iniReader.h"

namespace {

std::string swappedCase(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return " \t" + out + "\t ";
}

// The file as its lookups see it. Values are quoted so that their blanks and quotes stay.
std::string listing(const platform::IniFile& file) {
  std::string out;
  for (const std::string& section : file.sectionNames()) {
    if (!file.hasSection(swappedCase(section))) std::abort();
    out += "[" + section + "]\n";
    for (const std::string& key : file.keyNames(section)) {
      const auto value = file.value(section, key);
      if (!value || file.value(swappedCase(section), swappedCase(key)) != value) std::abort();
      out += key + "=\"" + *value + "\"\n";
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::IniFile file;
  file.parse(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string listed = listing(file);
  platform::IniFile reread;
  reread.parse(listed);
  if (listing(reread) != listed) std::abort();
  return 0;
}
