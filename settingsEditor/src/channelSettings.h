#pragma once
// The channel settings as the dialog edits them: each of the ten texts in one edit control,
// with the longest text the dialog accepts there. The texts and their file are the channel
// module's (channel/src/channelFile.h).

#include <array>
#include <string>

#include "channel/src/channelSettings.h"

namespace settingsEditor {

using ChannelSettings = channel::ChannelSettings;

// One field: its control, its text and the longest text the dialog accepts.
struct ChannelField {
  int controlId;
  channel::Setting setting;
  std::size_t limit;
};

// The fields in the order the controls are exchanged: Base URL, Description, the three item
// patterns, Max items, Section pattern, Shorthand, Title, URL.
const std::array<ChannelField, 10>& exchangeOrder();

// The text of `field` inside `settings`.
inline std::wstring& fieldText(ChannelSettings& settings, const ChannelField& field) {
  return channel::settingText(settings, field.setting);
}
inline const std::wstring& fieldText(const ChannelSettings& settings, const ChannelField& field) {
  return channel::settingText(settings, field.setting);
}

}  // namespace settingsEditor
