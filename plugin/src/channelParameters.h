#pragma once
// The channel settings the plug-in is run with: section ChannelParameters of the INI file
// named on its command line, as the settings dialog writes it (channel/src/channelFile.h).

#include <string>

#include "channel/src/channelFile.h"
#include "channel/src/channelSettings.h"

namespace plugin {

using ChannelParameters = channel::ChannelSettings;

// Reads the file at `path`: every value trimmed, a missing key or section empty, other keys
// ignored but for Preview's PageUrl and PageContentType, which go to `origin`. Throws
// PluginError "Can't read the settings file <path>: <reason>" when the file cannot be read
// or is no regular file (a pipe or a device is refused unopened).
ChannelParameters readChannelParameters(const std::wstring& path, channel::PageOrigin& origin);

// MaxItems as a number, by the dialog's rule (channel::MaxItems: 15 when empty, " 7x" is
// 7), and at most 1,000,000,000. Throws PluginError when the rule refuses it (below 1, or
// beyond what a saved file can hold).
int maxItemsOf(const ChannelParameters& parameters);

}  // namespace plugin
