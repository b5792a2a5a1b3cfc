#include "settingsEditor/src/channelSettings.h"

#include "settingsEditor/src/controlIds.h"

namespace settingsEditor {

namespace {

using channel::Setting;

constexpr std::size_t kTextLimit = 1024;
constexpr std::size_t kMaxItemsLimit = 3;

}  // namespace

const std::array<ChannelField, 10>& exchangeOrder() {
  static const std::array<ChannelField, 10> order{{
      {IDC_BASE_URL, Setting::BaseUrl, kTextLimit},
      {IDC_DESCRIPTION, Setting::Description, kTextLimit},
      {IDC_ITEM_PATTERN_1, Setting::ItemPattern1, kTextLimit},
      {IDC_ITEM_PATTERN_2, Setting::ItemPattern2, kTextLimit},
      {IDC_ITEM_PATTERN_3, Setting::ItemPattern3, kTextLimit},
      {IDC_MAX_ITEMS, Setting::MaxItems, kMaxItemsLimit},
      {IDC_SECTION_PATTERN, Setting::SectionPattern, kTextLimit},
      {IDC_SHORTHAND, Setting::Shorthand, kTextLimit},
      {IDC_TITLE, Setting::Title, kTextLimit},
      {IDC_URL, Setting::Url, kTextLimit},
  }};
  return order;
}

}  // namespace settingsEditor
