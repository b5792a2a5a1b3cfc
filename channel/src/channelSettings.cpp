#include "channel/src/channelSettings.h"

namespace channel {

std::wstring& settingText(ChannelSettings& settings, Setting setting) {
  switch (setting) {
    case Setting::Url:
      return settings.m_url;
    case Setting::Title:
      return settings.m_title;
    case Setting::Description:
      return settings.m_description;
    case Setting::BaseUrl:
      return settings.m_baseUrl;
    case Setting::MaxItems:
      return settings.m_maxItems;
    case Setting::Shorthand:
      return settings.m_shorthand;
    case Setting::SectionPattern:
      return settings.m_sectionPattern;
    case Setting::ItemPattern1:
      return settings.m_itemPattern[0];
    case Setting::ItemPattern2:
      return settings.m_itemPattern[1];
    case Setting::ItemPattern3:
      break;
  }
  return settings.m_itemPattern[2];
}

const std::wstring& settingText(const ChannelSettings& settings, Setting setting) {
  return settingText(const_cast<ChannelSettings&>(settings), setting);
}

}  // namespace channel
