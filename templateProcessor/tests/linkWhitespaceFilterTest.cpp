#include "templateProcessor/src/linkWhitespaceFilter.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <random>
#include <string>

namespace templateProcessor {
namespace {

std::wstring filter(std::wstring_view text) {
  LinkWhitespaceFilter f;
  std::wstring out;
  for (wchar_t c : text) f.put(c, out);
  f.finish(out);
  return out;
}

std::wstring withoutBlanks(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (!std::iswspace(c)) out += c;
  }
  return out;
}

TEST(LinkWhitespaceFilter, TrimsInsideLinksOnly) {
  EXPECT_EQ(filter(L"<a href=\"x\">  Home  </a> <b> x </b>"), L"<a href=\"x\">Home</a> <b> x </b>");
  EXPECT_EQ(filter(L" text  with  blanks "), L" text  with  blanks ");
  EXPECT_EQ(filter(L"<a> one  two </a>"), L"<a>one  two</a>");
  EXPECT_EQ(filter(L"x <a>\n\t y \r\n</a> z <a> w </a>"), L"x <a>y</a> z <a>w</a>");
}

TEST(LinkWhitespaceFilter, TagSpellings) {
  EXPECT_EQ(filter(L"< A HREF=x>\n Text \n</A >"), L"< A HREF=x>Text</A >");
  EXPECT_EQ(filter(L"<a>x < / a>"), L"<a>x< / a>");
  EXPECT_EQ(filter(L"<a name=top/> kept </a>"), L"<a name=top/> kept </a>");
  EXPECT_EQ(filter(L"<a name=top / > kept"), L"<a name=top / > kept");
  EXPECT_EQ(filter(L"<b> x </b>"), L"<b> x </b>");
}

TEST(LinkWhitespaceFilter, MarkupInsideTheLinkText) {
  EXPECT_EQ(filter(L"<a> <b>bold</b> </a>"), L"<a><b>bold</b></a>");
  EXPECT_EQ(filter(L"<a> <img src=y/> </a>"), L"<a><img src=y/></a>");
}

TEST(LinkWhitespaceFilter, EmptyAndUnfinishedLinks) {
  EXPECT_EQ(filter(L"<a href=x>   </a>"), L"<a href=x></a>");
  EXPECT_EQ(filter(L"<a>  text  "), L"<a>text  ");  // held text comes out at the end
  EXPECT_EQ(filter(L"<a"), L"<a");
  EXPECT_EQ(filter(L"<  "), L"<  ");
}

TEST(LinkWhitespaceFilter, LongLinkTextIsReleasedButStillTrimmed) {
  const std::wstring text(3 * LinkWhitespaceFilter::kCapacity, L'x');
  EXPECT_EQ(filter(L"<a>  " + text + L"   </a>!"), L"<a>" + text + L"</a>!");

  // A closing tag begun right at the overflow still trims what precedes it.
  const std::wstring upTo(LinkWhitespaceFilter::kCapacity - 3, L'y');
  EXPECT_EQ(filter(L"<a>" + upTo + L"  <  /  a>"), L"<a>" + upTo + L"<  /  a>");
}

TEST(LinkWhitespaceFilter, HoldsNoMoreThanItsCapacity) {
  LinkWhitespaceFilter f;
  std::wstring out;
  for (wchar_t c : std::wstring(L"<a>x")) f.put(c, out);
  for (std::size_t i = 0; i < 5 * LinkWhitespaceFilter::kCapacity; ++i) {
    f.put(i % 7 ? L' ' : L'z', out);
  }
  EXPECT_GE(out.size(), 4 * LinkWhitespaceFilter::kCapacity);
  f.finish(out);
  EXPECT_FALSE(f.holding());
}

TEST(LinkWhitespaceFilter, NeverChangesAnythingButBlanks) {
  std::mt19937 random(12345);
  const std::wstring pieces[] = {L"<a>", L"</a>", L"<", L"/",  L"a",    L"A", L" ",
                                 L"\n",  L">",    L"x", L"/>", L"< /a", L"  "};
  for (int round = 0; round < 200; ++round) {
    std::wstring text;
    const int count = static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
    const std::wstring out = filter(text);
    EXPECT_EQ(withoutBlanks(out), withoutBlanks(text)) << text;
    EXPECT_LE(out.size(), text.size());
  }
}

}  // namespace
}  // namespace templateProcessor
