#include "plugin/src/channelParameters.h"

#include <algorithm>

#include "config/src/iniFileStore.h"
#include "config/src/sectionReadLock.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/readWholeFile.h"
#include "platform/src/systemError.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

using internal::istring;

constexpr wchar_t kSection[] = L"ChannelParameters";
constexpr int kDefaultMaxItems = 15;
constexpr int kMostItems = 1000000000;
// A settings file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kMostSettingsBytes = 16 * 1024 * 1024;

void requireReadable(const std::wstring& path) {
  std::string bytes;
  const int error = platform::readWholeFile(misc::toUtf8(path), bytes, kMostSettingsBytes);
  if (error != 0) {
    throw PluginError(istring(14203).format(path, platform::systemErrorText(error)));
  }
}

}  // namespace

ChannelParameters readChannelParameters(const std::wstring& path) {
  // The store reads an unreadable file as an empty one, which would hide the reason.
  requireReadable(path);
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  store.loadFile(path);
  config::SectionReadLock section(store, kSection);
  ChannelParameters parameters;
  if (!section.valid()) return parameters;
  const auto read = [&](const wchar_t* key) { return section->getCheckedString(key, L"", true); };
  parameters.url = read(L"URL");
  parameters.title = read(L"Title");
  parameters.description = read(L"Description");
  parameters.baseUrl = read(L"BaseUrl");
  parameters.maxItems = read(L"MaxItems");
  parameters.shorthand = read(L"Shorthand");
  parameters.sectionPattern = read(L"SectionPattern");
  parameters.itemPatterns = {read(L"ItemPattern-1"), read(L"ItemPattern-2"),
                             read(L"ItemPattern-3")};
  return parameters;
}

int maxItemsOf(const ChannelParameters& parameters) {
  const std::wstring& text = parameters.maxItems;
  if (text.empty()) return kDefaultMaxItems;
  long long value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') throw PluginError(istring(14205).format(text));
    value = std::min<long long>(value * 10 + (c - L'0'), kMostItems);
  }
  if (value < 1) throw PluginError(istring(14205).format(text));
  return static_cast<int>(value);
}

}  // namespace plugin
