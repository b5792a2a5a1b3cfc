#include "plugin/src/channelParameters.h"

#include <algorithm>
#include <optional>

#include "channel/src/channelFile.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/readWholeFile.h"
#include "platform/src/systemError.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

using internal::istring;

constexpr int kMostItems = 1000000000;

void requireReadable(const std::wstring& path) {
  std::string bytes;
  const int error =
      platform::readWholeFile(misc::toUtf8(path), bytes, channel::kMostChannelFileBytes);
  if (error != 0) {
    throw PluginError(istring(14203).format(path, platform::systemErrorText(error)));
  }
}

}  // namespace

ChannelParameters readChannelParameters(const std::wstring& path, channel::PageOrigin& origin) {
  // The store reads an unreadable file as an empty one, which would hide the reason.
  requireReadable(path);
  return channel::readChannelFile(path, &origin);
}

int maxItemsOf(const ChannelParameters& parameters) {
  const std::optional<channel::MaxItems> value = channel::MaxItems::parse(parameters.m_maxItems);
  if (!value) throw PluginError(istring(14205).format(parameters.m_maxItems));
  return std::min(value->value(), kMostItems);
}

}  // namespace plugin
