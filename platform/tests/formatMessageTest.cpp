#include "platform/src/formatMessage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::wstring fmt(std::wstring_view format, std::vector<std::wstring> args = {},
                 std::size_t limit = 0) {
  std::wstring out = L"stale";
  platform::formatMessage(format, args, limit, out);
  return out;
}

}  // namespace

TEST(FormatMessageTest, InsertsArgumentsAndEscapesAndKeepsTheRestAsWritten) {
  const struct {
    const wchar_t* format;
    std::vector<std::wstring> args;
    const wchar_t* expected;
  } cases[] = {
      {L"%2 before %1", {L"one", L"two"}, L"two before one"},
      {L"(%1)", {L"%2"}, L"(%2)"},  // inserted text is never read again
      {L"%1%%", {L"50"}, L"50%"},
      {L"a%nb%tc%rd%.e%!f% g", {}, L"a\nb\tc\rd.e!f g"},
      {L"stop%0 here", {}, L"stop"},
      {L"line\n\nbreak %q 100%", {}, L"line\n\nbreak %q 100%"},
      {L"%1 and %3", {L"x"}, L"x and %3"},  // a missing argument stays in the text
  };
  for (const auto& c : cases) EXPECT_EQ(fmt(c.format, c.args), c.expected) << c.format;
  std::vector<std::wstring> many(12);
  for (int i = 0; i < 12; ++i) many[i] = std::to_wstring(i + 1);
  EXPECT_EQ(fmt(L"[%10][%12][%1]", many), L"[10][12][1]");
  EXPECT_EQ(fmt(L"%123", many), L"123") << "only two digits name the argument";
}

TEST(FormatMessageTest, ResultMustFitTheBufferWithItsNul) {
  std::wstring out;
  EXPECT_TRUE(platform::formatMessage(L"%1", std::vector<std::wstring>{std::wstring(2047, L'x')},
                                      2048, out));
  EXPECT_EQ(out.size(), 2047u);
  EXPECT_FALSE(platform::formatMessage(L"%1", std::vector<std::wstring>{std::wstring(2048, L'x')},
                                       2048, out));
  EXPECT_TRUE(out.empty());
}
