#include "channel/src/maxItems.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace channel {
namespace {

struct Case {
  const wchar_t* text;
  std::optional<int> value;  // none: refused
};

TEST(MaxItemsTest, ReadsTheLeadingNumberAsAtolDoesAndRefusesWhatIsNoCount) {
  // clang-format off
  const Case cases[] = {
      {L"", 15},              {L" \t ", 15},            {L"7", 7},
      {L" 7 ", 7},            {L" 7x", 7},              {L"7 8", 7},
      {L"+42", 42},           {L"007", 7},              {L"2147483647", 2147483647},
      {L"0", std::nullopt},   {L"-1", std::nullopt},    {L"-0", std::nullopt},
      {L"abc", std::nullopt}, {L"x7", std::nullopt},    {L"+", std::nullopt},
      {L"+-1", std::nullopt}, {L"\x0663", std::nullopt},  // an Arabic-Indic three
      {L"2147483648", std::nullopt},
      {L"99999999999999999999999999999", std::nullopt},
      {L"-99999999999999999999999999999", std::nullopt},
  };
  // clang-format on
  for (const Case& c : cases) {
    const std::optional<MaxItems> parsed = MaxItems::parse(c.text);
    ASSERT_EQ(parsed.has_value(), c.value.has_value()) << testing::PrintToString(c.text);
    if (parsed) {
      EXPECT_EQ(parsed->value(), *c.value) << testing::PrintToString(c.text);
    }
  }
}

}  // namespace
}  // namespace channel
