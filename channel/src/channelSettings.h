#pragma once
// The ten texts of a channel: what the dialog shows in its edit controls and what section
// ChannelParameters of a settings file holds (channelFile.h reads and writes them). A plain
// value; any thread.

#include <array>
#include <string>

#include "channel/src/maxItems.h"

namespace channel {

struct ChannelSettings {
  std::wstring m_url;  // may hold date placeholders: see urlDates.h
  std::wstring m_title;
  std::wstring m_description;
  std::wstring m_baseUrl;
  std::wstring m_maxItems = std::to_wstring(MaxItems::kDefault);  // read by MaxItems::parse
  std::wstring m_shorthand;
  std::wstring m_sectionPattern;
  std::array<std::wstring, 3> m_itemPattern;

  friend bool operator==(const ChannelSettings&, const ChannelSettings&) = default;
};

// One of the ten texts, for tables that list them.
enum class Setting {
  Url,
  Title,
  Description,
  BaseUrl,
  MaxItems,
  Shorthand,
  SectionPattern,
  ItemPattern1,
  ItemPattern2,
  ItemPattern3,
};

std::wstring& settingText(ChannelSettings& settings, Setting setting);
const std::wstring& settingText(const ChannelSettings& settings, Setting setting);

}  // namespace channel
