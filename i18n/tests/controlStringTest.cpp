#include "i18n/src/controlString.h"

#include <gtest/gtest.h>

namespace {

bool parses(const std::wstring& text) {
  i18n::ControlString parsed;
  return i18n::parseControlString(text, parsed);
}

i18n::ControlString parse(const std::wstring& text) {
  i18n::ControlString parsed;
  EXPECT_TRUE(i18n::parseControlString(text, parsed)) << text;
  return parsed;
}

}  // namespace

TEST(ControlStringTest, SelectsByExactIndexElseDefault) {
  const auto plural = parse(L"[*:11159:1>11160:*]");
  EXPECT_EQ(plural.select(1), 11160);
  for (int index : {0, 2, 1000, -1}) EXPECT_EQ(plural.select(index), 11159) << index;

  const auto onlyDefault = parse(L"[*:5:*]");
  EXPECT_TRUE(onlyDefault.indexedIds.empty());
  EXPECT_EQ(onlyDefault.select(0), 5);
  EXPECT_EQ(onlyDefault.select(7), 5);

  const auto zeroKey = parse(L"[*:9:0>3:2>4:*]");
  EXPECT_EQ(zeroKey.select(0), 3);
  EXPECT_EQ(zeroKey.select(2), 4);
  EXPECT_EQ(zeroKey.select(1), 9);
}

TEST(ControlStringTest, RepeatedKeyKeepsTheFirstTarget) {
  const auto parsed = parse(L"[*:5:1>6:1>7:*]");
  EXPECT_EQ(parsed.select(1), 6);
  EXPECT_EQ(parsed.describeEntries(), L"1=>6");
  EXPECT_EQ(parse(L"[*:1:3>30:1>10:2>20:*]").describeEntries(), L"1=>10 ; 2=>20 ; 3=>30");
}

TEST(ControlStringTest, RejectsBrokenForms) {
  const wchar_t* rejected[] = {
      L"",                      // empty
      L"[*::*]",                // too short, no default
      L"[*:0:*]",               // default 0
      L"[*:5:1>0:*]",           // target 0
      L"[*:5:1>6*]",            // entry not closed by a colon
      L"[*:5:1>6:x*]",          // neither digit nor closing bracket after an entry
      L"[*:5:*] ",              // blank after the closing bracket
      L" [*:5:*]",              // blank before the opening bracket
      L"[*:5:1>:*]",            // target without digits
      L"[*:5:1:*]",             // key without '>'
      L"[*:5:-1>6:*]",          // sign
      L"[*:+5:*]",              // sign on the default
      L"[*: 5:*]",              // blank in a number
      L"[*:5*]",                // default not closed by a colon
      L"[*:5:*]:*]",            // text after the closing bracket, itself ending in ":*]"
      L"(*:5:*)",               // wrong frame
      L"[*:5:1>6:7>8:*:*]",     // a second star inside
      L"[*:2147483648:*]",      // default beyond the id range
      L"[*:5:1>99999999999:*]"  // target beyond the id range
  };
  for (const wchar_t* text : rejected) EXPECT_FALSE(parses(text)) << "accepted: " << text;
  EXPECT_FALSE(parses(L"[*:2147483647:4294967295>1:*]")) << "key beyond the range";
  EXPECT_TRUE(parses(L"[*:2147483647:2147483647>1:*]"));
}
