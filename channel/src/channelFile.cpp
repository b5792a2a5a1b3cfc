#include "channel/src/channelFile.h"

#include <array>
#include <sstream>

#include "config/src/iniFileStore.h"
#include "config/src/sectionReadLock.h"
#include "config/src/sectionWriteLock.h"

namespace channel {
namespace {

constexpr wchar_t kSection[] = L"ChannelParameters";

struct Key {
  const wchar_t* name;
  Setting setting;
};

// The order in which the keys are read and written.
constexpr std::array<Key, 10> kKeys{{
    {L"URL", Setting::Url},
    {L"Title", Setting::Title},
    {L"Description", Setting::Description},
    {L"BaseUrl", Setting::BaseUrl},
    {L"MaxItems", Setting::MaxItems},
    {L"Shorthand", Setting::Shorthand},
    {L"SectionPattern", Setting::SectionPattern},
    {L"ItemPattern-1", Setting::ItemPattern1},
    {L"ItemPattern-2", Setting::ItemPattern2},
    {L"ItemPattern-3", Setting::ItemPattern3},
}};
// Written last; names the file itself for the plug-in's temporary settings.
constexpr wchar_t kConfigFileKey[] = L"ConfigFile";
constexpr wchar_t kPageUrlKey[] = L"PageUrl";
constexpr wchar_t kPageContentTypeKey[] = L"PageContentType";

ChannelSettings settingsOf(config::IniFileStore& store, PageOrigin* origin) {
  config::SectionReadLock section(store, kSection);
  ChannelSettings settings;
  for (const Key& key : kKeys) {
    settingText(settings, key.setting) =
        section.valid() ? section->getCheckedString(key.name, L"", true) : std::wstring();
  }
  if (origin && section.valid()) {
    origin->url = section->getString(kPageUrlKey, true, L"");
    origin->contentType = section->getString(kPageContentTypeKey, true, L"");
  }
  return settings;
}

}  // namespace

ChannelSettings readChannelFile(const std::wstring& path, PageOrigin* origin) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  store.loadFile(path);
  return settingsOf(store, origin);
}

ChannelSettings readChannelFile(std::istream& in, PageOrigin* origin) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  store.loadFrom(in);
  return settingsOf(store, origin);
}

ChannelSettings readChannelText(std::string_view bytes, PageOrigin* origin) {
  std::istringstream in{std::string(bytes)};
  return readChannelFile(in, origin);
}

void writeChannelFile(const std::wstring& path, const ChannelSettings& settings, MaxItems maxItems,
                      const std::wstring& configFile, const PageOrigin* origin) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  {
    config::SectionWriteLock section(store, kSection);
    for (const Key& key : kKeys) {
      const std::wstring& text = settingText(settings, key.setting);
      if (key.setting == Setting::Url) {
        section->setString(key.name, text);
      } else if (key.setting == Setting::MaxItems) {
        section->setInt(key.name, maxItems.value());
      } else {
        section->setCheckedString(key.name, text);
      }
    }
    section->setString(kConfigFileKey, configFile);
    if (origin != nullptr) {
      section->setString(kPageUrlKey, origin->url);
      section->setString(kPageContentTypeKey, origin->contentType);
    }
  }
  store.saveFile(path, true);
}

}  // namespace channel
