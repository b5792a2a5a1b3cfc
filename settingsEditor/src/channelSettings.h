#pragma once
// The channel settings that the dialog edits: ten texts, each shown in one edit control
// and kept under one key of the "ChannelParameters" section of a settings file.

#include <array>
#include <string>

namespace settingsEditor {

struct ChannelSettings {
  std::wstring m_url;
  std::wstring m_title;
  std::wstring m_description;
  std::wstring m_baseUrl;
  std::wstring m_maxItems = L"15";
  std::wstring m_shorthand;
  std::wstring m_sectionPattern;
  std::array<std::wstring, 3> m_itemPattern;

  friend bool operator==(const ChannelSettings&, const ChannelSettings&) = default;
};

// One field: its control, its key in the file and the longest text the dialog accepts.
struct ChannelField {
  int controlId;
  const wchar_t* key;
  std::size_t limit;
  std::wstring ChannelSettings::* member;  // for the item patterns: see itemIndex
  int itemIndex;                           // 0-2 for m_itemPattern, else -1
};

// The fields in the order the controls are exchanged: Base URL, Description, the three item
// patterns, Max items, Section pattern, Shorthand, Title, URL.
const std::array<ChannelField, 10>& exchangeOrder();
// The fields in the order a settings file is read and written: URL, Title, Description,
// Base URL, Max items, Shorthand, Section pattern, the three item patterns.
const std::array<ChannelField, 10>& fileOrder();

// The text of `field` inside `settings`.
std::wstring& fieldText(ChannelSettings& settings, const ChannelField& field);
const std::wstring& fieldText(const ChannelSettings& settings, const ChannelField& field);

}  // namespace settingsEditor
