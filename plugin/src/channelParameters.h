#pragma once
// The channel settings the plug-in is run with: section "ChannelParameters" of the INI file
// named on its command line, as the settings dialog writes it.

#include <array>
#include <string>

namespace plugin {

struct ChannelParameters {
  std::wstring url;
  std::wstring title;
  std::wstring description;
  std::wstring baseUrl;
  std::wstring maxItems;
  std::wstring shorthand;
  std::wstring sectionPattern;
  std::array<std::wstring, 3> itemPatterns;
};

// Reads the file at `path`: every value trimmed, a missing key or section empty, other keys
// ignored. Throws PluginError "Can't read the settings file <path>: <reason>" when the file
// cannot be read.
ChannelParameters readChannelParameters(const std::wstring& path);

// MaxItems as a number: 15 when empty, at most 1,000,000,000. Throws PluginError when it is
// not a positive whole number.
int maxItemsOf(const ChannelParameters& parameters);

}  // namespace plugin
