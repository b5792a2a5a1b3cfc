#include "platform/src/registry.h"

#include <cerrno>
#include <cstdlib>

#include "platform/src/utf8.h"
#include "platform/src/xdgDirectories.h"

namespace platform {
namespace {

struct TypeName {
  const char* name;
  std::uint32_t type;
};
constexpr TypeName kTypes[] = {{"sz", kRegSz}, {"expand_sz", kRegExpandSz}, {"dword", kRegDword}};

bool isHexPrefix(const std::string& data) {
  return data.size() > 2 && data[0] == '0' && (data[1] == 'x' || data[1] == 'X');
}

bool isDigitIn(char c, bool hex) {
  return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

// Decimal or 0x-prefixed hexadecimal; a leading zero does not make the number octal.
// Only digits reach strtoull, which would also take blanks, a sign or a second "0x".
bool parseDword(const std::string& data, std::uint32_t& out) {
  const bool hex = isHexPrefix(data);
  const std::string digits = hex ? data.substr(2) : data;
  if (digits.empty()) return false;
  for (const char c : digits) {
    if (!isDigitIn(c, hex)) return false;
  }
  errno = 0;
  const unsigned long long n = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno != 0 || n > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(n);
  return true;
}

// Text is measured as the registry stores it: UTF-16, where a character beyond the basic
// plane takes two units.
std::size_t dataBytes(const RegistryValue& value) {
  if (value.type == kRegDword) return 4;
  std::size_t units = 1;  // the NUL
  for (const wchar_t c : value.text) units += static_cast<std::uint32_t>(c) > 0xFFFF ? 2 : 1;
  return units * sizeof(char16_t);
}

}  // namespace

RegistryValue decodeRegistryValue(std::string_view raw) {
  RegistryValue value;
  const auto colon = raw.find(':');
  const std::string_view type = raw.substr(0, colon);
  const std::string data(colon == std::string_view::npos ? "" : raw.substr(colon + 1));
  value.text = fromUtf8(raw);
  if (colon == std::string_view::npos) return value;
  for (const TypeName& t : kTypes) {
    if (!equalsIgnoringAsciiCase(type, t.name)) continue;
    if (t.type == kRegDword) {
      if (parseDword(data, value.dword)) value.type = kRegDword;
    } else {
      value.type = t.type;
      value.text = fromUtf8(data);
    }
  }
  return value;
}

std::string registryFilePath() {
  return configHome() + "/tarvo/registry.ini";
}

int RegistryKey::open(const std::wstring& keyPath) {
  section_.clear();
  const int rc = file_.read(registryFilePath());
  if (rc != 0) return rc;
  const std::string section = toUtf8(keyPath);
  if (!file_.hasSection(section)) return kRegistryNotFound;
  section_ = section;
  return 0;
}

int RegistryKey::queryValue(const std::wstring& name, RegistryValue& value,
                            std::size_t bufferBytes) const {
  const auto raw = file_.value(section_, toUtf8(name));
  if (section_.empty() || !raw) return kRegistryNotFound;
  RegistryValue decoded = decodeRegistryValue(*raw);
  if (dataBytes(decoded) > bufferBytes) return EOVERFLOW;
  value = std::move(decoded);
  return 0;
}

}  // namespace platform
