#include "channel/src/urlDates.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace channel {
namespace {

std::wstring dateNow(const wchar_t* format, std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  wchar_t buffer[64];
  return std::wstring(buffer, std::wcsftime(buffer, 64, format, &local));
}

TEST(UrlDatesTest, ExpandsThePlaceholdersOnlyForTheCurrentLocalDate) {
  setenv("TZ", "XST-13", 1);  // a zone where the local date is rarely the UTC one
  tzset();
  const std::wstring url = L"http://example.org/{%Y%}/{%m%}-{%#d%}.html?raw=%Y&q={x}";
  std::wstring expanded, expected;
  for (;;) {  // again if the clock ticked in between
    const std::time_t before = std::time(nullptr);
    expanded = expandUrlDates(url);
    if (std::time(nullptr) != before) continue;
    std::wstring day = dateNow(L"%d", before);
    if (day[0] == L'0') day.erase(0, 1);
    expected = L"http://example.org/" + dateNow(L"%Y/%m-", before) + day + L".html?raw=%Y&q={x}";
    break;
  }
  unsetenv("TZ");
  tzset();
  EXPECT_EQ(expanded, expected);
  EXPECT_EQ(expandUrlDates(L"file:///tmp/a%20b{c}.html"), L"file:///tmp/a%20b{c}.html");
}

}  // namespace
}  // namespace channel
