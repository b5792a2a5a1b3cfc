#include "templateProcessor/src/strftimeTemplateProcessor.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/src/cLocale.h"

namespace tools {
namespace {

// Runs every test in a fixed time zone and restores the environment afterwards.
class StrftimeTest : public ::testing::Test {
 protected:
  void SetUp() override { useZone("UTC0"); }
  void TearDown() override {
    unsetenv("TZ");
    tzset();
  }

  static void useZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }

  // A processor whose instant is `target`, built through the offset constructor; the
  // offset is measured again if the clock ticked in between.
  static std::unique_ptr<StrftimeTemplateProcessor> at(std::time_t target, int extra = 0) {
    for (;;) {
      const std::time_t now = std::time(nullptr);
      auto processor =
          std::make_unique<StrftimeTemplateProcessor>(static_cast<int>(target - now) + extra);
      if (std::time(nullptr) == now) return processor;
    }
  }

  static std::wstring expand(StrftimeTemplateProcessor& p, const std::wstring& text) {
    std::wistringstream input(text);
    std::wostringstream output;
    p.process(input, output);
    return output.str();
  }

  // Thursday 2024-03-07 09:05:04 UTC.
  static constexpr std::time_t kThursday = 1709802304;
};

TEST_F(StrftimeTest, CommonDirectives) {
  auto p = at(kThursday);
  EXPECT_EQ(expand(*p, L"{%Y%}-{%m%}-{%d%} {%H%}:{%M%}:{%S%}"), L"2024-03-07 09:05:04");
  EXPECT_EQ(expand(*p, L"{%y%} {%j%} {%b%} {%B%} {%a%} {%A%} {%p%}"),
            L"24 067 Mar March Thu Thursday AM");
  EXPECT_EQ(expand(*p, L"{%Y-%}{%m%}/{%dT%}"), L"2024-03/07T");
}

TEST_F(StrftimeTest, HashRemovesLeadingZerosAndGivesLongDates) {
  auto p = at(kThursday);
  EXPECT_EQ(expand(*p, L"{%#d%}.{%#m%}.{%#H%}.{%#M%}.{%#S%}.{%#j%}.{%#y%}.{%#Y%}"),
            L"7.3.9.5.4.67.24.2024");
  EXPECT_EQ(expand(*p, L"{%#x%}"), L"Thursday, March 07, 2024");
  EXPECT_EQ(expand(*p, L"{%#c%}"), L"Thursday, March 07, 2024 09:05:04");
  // On names the flag does nothing (glibc would change their case).
  EXPECT_EQ(expand(*p, L"{%#A%} {%#b%} {%#p%}"), L"Thursday Mar AM");
}

TEST_F(StrftimeTest, UnknownConversionsAreEchoedOrDefaulted) {
  auto p = at(kThursday);
  EXPECT_EQ(expand(*p, L"{%q%}|{%q% default=x}|{%q% default=\"\"}"), L"{%q%}|x|");
  // glibc-only flags and modifiers are not conversions here.
  EXPECT_EQ(expand(*p, L"{%-d%}{%Ey%}{%Od%}{%_H%}{%e%}{%F%}"),
            L"{%-d%}{%Ey%}{%Od%}{%_H%}{%e%}{%F%}");
  EXPECT_EQ(expand(*p, L"{%%}{%#%}{%##d%}{%#q%}"), L"{%%}{%#%}{%##d%}{%#q%}");
  EXPECT_EQ(expand(*p, L"{%Y\u0100%}{%Y\u00e9%}"), L"{%Y\u0100%}2024\u00e9");
}

TEST_F(StrftimeTest, UrlsWithoutDirectivesPassUnchanged) {
  auto p = at(kThursday);
  EXPECT_EQ(expand(*p, L"http://example.net/a%20b/{%Y%}{%m%}{%d%}.html?q=1&r=%7B"),
            L"http://example.net/a%20b/20240307.html?q=1&r=%7B");
  EXPECT_EQ(expand(*p, L"http://example.net/%Y%m%d{x}"), L"http://example.net/%Y%m%d{x}");
}

TEST_F(StrftimeTest, OnlyDateDirectivesAreParameters) {
  auto p = at(kThursday);
  p->setParameter(L"Y", L"own");
  p->setParameter(L"title", L"T");
  EXPECT_EQ(expand(*p, L"{%Y%} {%title%} {%REMOVE-LINK-WHITESPACE% on}"),
            L"2024 {%title%} {%REMOVE-LINK-WHITESPACE%}");
  EXPECT_EQ(expand(*p, L"{%?d%}day {%@%}{%ELSE%}none{%ENDIF%}|{%?q%}y{%ELSE%}n{%ENDIF%}"),
            L"day {%@%}|n");  // "@" is an own parameter, so not visible either
  EXPECT_EQ(expand(*p, L"{%d% encode=percent chars=0}"), L"%307");
}

TEST_F(StrftimeTest, OffsetShiftsTheInstant) {
  // One day before 2024-03-01 00:00:30 is the leap day.
  auto p = at(1709251230, -86400);
  EXPECT_EQ(expand(*p, L"{%Y%}{%m%}{%d%}"), L"20240229");
  auto q = at(1709251230, 3600 * 24 * 365);
  EXPECT_EQ(expand(*q, L"{%Y%}{%m%}{%d%} {%a%}"), L"20250301 Sat");
}

TEST_F(StrftimeTest, TheInstantIsTakenInTheTimeZoneOfConstruction) {
  useZone("JST-9");
  auto tokyo = at(kThursday + 6 * 3600);  // 15:05 UTC is 00:05 the next day in Tokyo
  useZone("UTC0");
  EXPECT_EQ(expand(*tokyo, L"{%d%} {%H%}:{%M%} {%Z%}"), L"08 00:05 JST");
  EXPECT_EQ(tokyo->moment().tm_mday, 8);
}

TEST_F(StrftimeTest, AZoneChangedWithoutTzsetStillCounts) {
  auto utc = at(kThursday);
  setenv("TZ", "JST-9", 1);  // no tzset(): the constructor must read TZ again
  auto tokyo = at(kThursday);
  EXPECT_EQ(expand(*utc, L"{%H%}"), L"09");
  EXPECT_EQ(expand(*tokyo, L"{%H%}"), L"18");
}

TEST_F(StrftimeTest, NamesStayEnglishUnderAnyLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
    GTEST_SKIP() << "no non-English locale installed";
  }
  auto p = at(kThursday);
  const std::wstring got = expand(*p, L"{%A%} {%B%} {%a%} {%b%} {%p%} {%#x%} {%#d%}");
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(got, L"Thursday March Thu Mar AM Thursday, March 07, 2024 7");
}

TEST(StrftimeFormat, TranslatesToGlibcConventions) {
  EXPECT_EQ(strftimeFormatFor(L"d"), L"%d");
  EXPECT_EQ(strftimeFormatFor(L"#d"), L"%-d");
  EXPECT_EQ(strftimeFormatFor(L"#B"), L"%B");
  EXPECT_EQ(strftimeFormatFor(L"Y-%m"), L"%Y-%%m");  // copied text stays literal
  EXPECT_EQ(strftimeFormatFor(L""), L"");
  EXPECT_EQ(strftimeFormatFor(L"#"), L"");
  EXPECT_EQ(strftimeFormatFor(L"%"), L"");
}

// Digits written without wcsftime must be what wcsftime writes, at every field value and edge.
TEST(StrftimeFormat, DirectivesExpandAsWcsftimeDoes) {
  const std::wstring names[] = {L"Y", L"m", L"d", L"H", L"M", L"S", L"#Y", L"#m", L"#d", L"#H",
                                L"#M", L"#S", L"d.x", L"H%M%", L"A", L"#c",
                                std::wstring(L"Y\0z", 3), L"y", L"q", L"#", L"", L"Y\u0100",
                                // the result's bound: 1023 characters fit, 1024 do not
                                L"Y" + std::wstring(1019, L'x'), L"Y" + std::wstring(1020, L'x')};
  std::vector<std::tm> moments;
  for (std::time_t t = 0; t < 2 * 366 * 86400; t += 86400 + 3600 + 61) {
    std::tm moment{};
    gmtime_r(&t, &moment);
    moments.push_back(moment);
  }
  for (int year : {-1901, -1900, -1, 0, 99, 100, 999, 1000, 9999, 10000}) {
    std::tm moment{};
    moment.tm_year = year;
    moment.tm_mday = 1;
    moment.tm_sec = 60;
    moments.push_back(moment);
  }
  for (const std::tm& moment : moments) {
    for (const std::wstring& name : names) {
      const std::wstring format = strftimeFormatFor(name);
      wchar_t expected[1024];
      const std::size_t length =
          format.empty() ? 0
                         : wcsftime_l(expected, 1024, format.c_str(), &moment, platform::cLocale());
      std::wstring got = L"unchanged";
      const bool found = formatDirective(name, moment, got);
      ASSERT_EQ(found, length != 0) << name << " in year " << moment.tm_year;
      ASSERT_EQ(got, found ? std::wstring(expected, length) : L"unchanged")
          << name << " in year " << moment.tm_year << " day " << moment.tm_yday;
    }
  }
}

}  // namespace
}  // namespace tools
