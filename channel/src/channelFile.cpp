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

ChannelSettings settingsOf(config::IniFileStore& store) {
  config::SectionReadLock section(store, kSection);
  ChannelSettings settings;
  for (const Key& key : kKeys) {
    settingText(settings, key.setting) =
        section.valid() ? section->getCheckedString(key.name, L"", true) : std::wstring();
  }
  return settings;
}

}  // namespace

ChannelSettings readChannelFile(const std::wstring& path) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  store.loadFile(path);
  return settingsOf(store);
}

ChannelSettings readChannelText(std::string_view bytes) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  std::istringstream in{std::string(bytes)};
  store.loadFrom(in);
  return settingsOf(store);
}

void writeChannelFile(const std::wstring& path, const ChannelSettings& settings, MaxItems maxItems,
                      const std::wstring& configFile) {
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
  }
  store.saveFile(path, true);
}

}  // namespace channel
