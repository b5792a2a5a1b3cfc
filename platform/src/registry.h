#pragma once
// The current user's registry, read from the file $XDG_CONFIG_HOME/tarvo/registry.ini
// (XDG_CONFIG_HOME defaults to ~/.config). One section per key, named by its path with
// backslashes; one line per value, "Name=type:data", with the types
//     sz         text
//     expand_sz  text (environment references are not expanded here)
//     dword      a 32-bit number, decimal or 0x-prefixed hexadecimal
// Key paths and value names compare without regard to ASCII case, as in the registry.
//
//     platform::RegistryKey key;
//     if (key.open(L"Software\\Tarvo\\Tarvo\\lang") == 0 &&
//         key.queryValue(L"LangId", value, 1024) == 0) ...

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/src/iniReader.h"

namespace platform {

// The registry's type numbers.
inline constexpr std::uint32_t kRegNone = 0;  // data that fits none of the types below
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;

// Results: 0, kRegistryNotFound for an absent key or value, else an errno value.
inline constexpr int kRegistryNotFound = ENOENT;

struct RegistryValue {
  std::uint32_t type = kRegNone;
  std::wstring text;        // sz, expand_sz, and the raw data of kRegNone
  std::uint32_t dword = 0;  // dword
};

// The registry file's path (UTF-8).
std::string registryFilePath();

// The value that the text of one line of the file stands for ("type:data", after the '='):
// a known type with data that fits it, else kRegNone with the whole text.
RegistryValue decodeRegistryValue(std::string_view raw);

class RegistryKey {
 public:
  // Opens the key for reading: kRegistryNotFound when the file or the key is absent, the
  // errno value when the file cannot be read.
  int open(const std::wstring& keyPath);

  // Reads a value of the open key. `bufferBytes` is the caller's buffer as the registry
  // would fill it (text as UTF-16 with its NUL): larger data gives EOVERFLOW.
  int queryValue(const std::wstring& name, RegistryValue& value, std::size_t bufferBytes) const;

 private:
  IniFile file_;
  std::string section_;
};

}  // namespace platform
