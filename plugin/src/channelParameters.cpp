#include "plugin/src/channelParameters.h"

#include <algorithm>
#include <optional>

#include "channel/src/channelFile.h"
#include "net/src/localPage.h"
#include "platform/src/utf8.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

using internal::istring;

constexpr int kMostItems = 1000000000;

}  // namespace

ChannelParameters readChannelParameters(const std::wstring& path, channel::PageOrigin& origin) {
  // Read once, by the rules for pages: a second open could find a pipe that the first did
  // not, and the store would read an unreadable file as an empty one, hiding the reason.
  std::string bytes;
  const platform::RegularFileResult result =
      platform::readRegularFile(platform::toUtf8Escaped(path), channel::kMostChannelFileBytes,
                                [&bytes](std::string_view block) { bytes.append(block); });
  if (!result.ok()) throw PluginError(istring(14203).format(path, net::localPageErrorText(result)));
  return channel::readChannelText(bytes, &origin);
}

int maxItemsOf(const ChannelParameters& parameters) {
  const std::optional<channel::MaxItems> value = channel::MaxItems::parse(parameters.m_maxItems);
  if (!value) throw PluginError(istring(14205).format(parameters.m_maxItems));
  return std::min(value->value(), kMostItems);
}

}  // namespace plugin
