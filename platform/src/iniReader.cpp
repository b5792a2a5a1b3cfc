#include "platform/src/iniReader.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace platform {
namespace {

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

char foldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  }
  return true;
}

int IniFile::read(const std::string& path) {
  sections_.clear();
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) return errno;
  std::string text;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, n);
  if (std::ferror(file.get())) return errno != 0 ? errno : EIO;
  parse(text);
  return 0;
}

void IniFile::parse(std::string_view text) {
  sections_.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Section* current = nullptr;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      sections_.push_back({std::string(trim(line.substr(1, close - 1))), {}});
      current = &sections_.back();
      continue;
    }
    const auto equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) continue;
    current->entries.emplace_back(std::string(trim(line.substr(0, equals))),
                                  std::string(unquote(trim(line.substr(equals + 1)))));
  }
}

const IniFile::Section* IniFile::findSection(std::string_view section) const {
  section = trim(section);
  for (const Section& s : sections_) {
    if (equalsIgnoringAsciiCase(s.name, section)) return &s;
  }
  return nullptr;
}

bool IniFile::hasSection(std::string_view section) const {
  return findSection(section) != nullptr;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
  const Section* s = findSection(section);
  if (s == nullptr) return std::nullopt;
  key = trim(key);
  for (const auto& [name, value] : s->entries) {
    if (equalsIgnoringAsciiCase(name, key)) return value;
  }
  return std::nullopt;
}

namespace {

void addOnce(std::vector<std::string>& names, const std::string& name) {
  for (const std::string& known : names) {
    if (equalsIgnoringAsciiCase(known, name)) return;
  }
  names.push_back(name);
}

}  // namespace

std::vector<std::string> IniFile::sectionNames() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) addOnce(names, s.name);
  return names;
}

std::vector<std::string> IniFile::keyNames(std::string_view section) const {
  std::vector<std::string> names;
  if (const Section* s = findSection(section)) {
    for (const auto& entry : s->entries) addOnce(names, entry.first);
  }
  return names;
}

std::string privateProfileString(std::string_view section, std::string_view key,
                                 const std::string& defaultValue, const std::string& path) {
  IniFile file;
  if (file.read(path) != 0) return defaultValue;
  const auto value = file.value(section, key);
  return value && !value->empty() ? *value : defaultValue;
}

}  // namespace platform
