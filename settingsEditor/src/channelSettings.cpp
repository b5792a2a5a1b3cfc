#include "settingsEditor/src/channelSettings.h"

#include "settingsEditor/src/controlIds.h"

namespace settingsEditor {

namespace {

constexpr std::size_t kTextLimit = 1024;
constexpr std::size_t kMaxItemsLimit = 3;

constexpr ChannelField kUrl{IDC_URL, L"URL", kTextLimit, &ChannelSettings::m_url, -1};
constexpr ChannelField kTitle{IDC_TITLE, L"Title", kTextLimit, &ChannelSettings::m_title, -1};
constexpr ChannelField kDescription{IDC_DESCRIPTION, L"Description", kTextLimit,
                                    &ChannelSettings::m_description, -1};
constexpr ChannelField kBaseUrl{IDC_BASE_URL, L"BaseUrl", kTextLimit, &ChannelSettings::m_baseUrl,
                                -1};
constexpr ChannelField kMaxItems{IDC_MAX_ITEMS, L"MaxItems", kMaxItemsLimit,
                                 &ChannelSettings::m_maxItems, -1};
constexpr ChannelField kShorthand{IDC_SHORTHAND, L"Shorthand", kTextLimit,
                                  &ChannelSettings::m_shorthand, -1};
constexpr ChannelField kSectionPattern{IDC_SECTION_PATTERN, L"SectionPattern", kTextLimit,
                                       &ChannelSettings::m_sectionPattern, -1};
constexpr ChannelField kItem1{IDC_ITEM_PATTERN_1, L"ItemPattern-1", kTextLimit, nullptr, 0};
constexpr ChannelField kItem2{IDC_ITEM_PATTERN_2, L"ItemPattern-2", kTextLimit, nullptr, 1};
constexpr ChannelField kItem3{IDC_ITEM_PATTERN_3, L"ItemPattern-3", kTextLimit, nullptr, 2};

}  // namespace

const std::array<ChannelField, 10>& exchangeOrder() {
  static const std::array<ChannelField, 10> order{kBaseUrl, kDescription,     kItem1,    kItem2,
                                                  kItem3,   kMaxItems,        kSectionPattern,
                                                  kShorthand, kTitle,         kUrl};
  return order;
}

const std::array<ChannelField, 10>& fileOrder() {
  static const std::array<ChannelField, 10> order{kUrl,      kTitle,          kDescription, kBaseUrl,
                                                  kMaxItems, kShorthand,      kSectionPattern,
                                                  kItem1,    kItem2,          kItem3};
  return order;
}

std::wstring& fieldText(ChannelSettings& settings, const ChannelField& field) {
  return field.itemIndex >= 0 ? settings.m_itemPattern[field.itemIndex] : settings.*field.member;
}

const std::wstring& fieldText(const ChannelSettings& settings, const ChannelField& field) {
  return fieldText(const_cast<ChannelSettings&>(settings), field);
}

}  // namespace settingsEditor
