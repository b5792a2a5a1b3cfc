#include "tools/src/textVal.h"

#include <gtest/gtest.h>

namespace tools {
namespace {

TEST(TextVal, ValueKindAndAnnotationTravelTogether) {
  TextVal value(L"x", TextVal::kHtml);
  value.setAnnotation(L"from feed");
  TextVal copy(value);
  EXPECT_EQ(copy.value(), L"x");
  EXPECT_EQ(copy.type(), TextVal::kHtml);
  EXPECT_EQ(copy.annotation(), L"from feed");

  TextVal assigned;
  EXPECT_TRUE(assigned.isEmpty());
  EXPECT_EQ(assigned.type(), TextVal::kText);
  assigned = value;
  EXPECT_EQ(assigned.annotation(), L"from feed");

  assigned.set(L"", 42);  // unknown kinds are carried
  EXPECT_TRUE(assigned.isEmpty());
  EXPECT_EQ(assigned.type(), 42);
  EXPECT_EQ(assigned.annotation(), L"from feed");
}

TEST(TextVal, TypeNames) {
  EXPECT_EQ(TextVal::getTypeName(0), L"unknown");
  EXPECT_EQ(TextVal::getTypeName(1), L"text");
  EXPECT_EQ(TextVal::getTypeName(2), L"html");
  EXPECT_EQ(TextVal::getTypeName(7), L"TextValType:7");
  EXPECT_EQ(TextVal::getTypeName(-3), L"TextValType:-3");
  EXPECT_EQ(TextVal::getContentTypeName(0), L"html");
  EXPECT_EQ(TextVal::getContentTypeName(1), L"text");
  EXPECT_EQ(TextVal::getContentTypeName(2), L"html");
  EXPECT_EQ(TextVal::getContentTypeName(9), L"html");
}

TEST(TextValRender, NoneAndUnknownEncodingsReturnTheValue) {
  const TextVal value(L"a<b %20\n");
  EXPECT_EQ(value.render(TextVal::kEncodeNone), L"a<b %20\n");
  EXPECT_EQ(value.render(7, L"<"), L"a<b %20\n");
}

TEST(TextValRender, SgmlDefaultsToAmpersandAndLessThan) {
  const TextVal value(L"<a href=\"x\">&</a>");
  EXPECT_EQ(value.render(TextVal::kEncodeSgml), L"&lt;a href=\"x\">&amp;&lt;/a>");
  EXPECT_EQ(value.render(TextVal::kEncodeSgml, L"\">"), L"<a href=&quot;x&quot;&gt;&</a&gt;");
}

TEST(TextValRender, PercentEncodesControlsPercentAndExtraBytes) {
  EXPECT_EQ(TextVal(L"a b%\t/c").render(TextVal::kEncodePercent), L"a b%25%09/c");
  EXPECT_EQ(TextVal(L"a b/c").render(TextVal::kEncodePercent, L"/ "), L"a%20b%2Fc");
  // Characters beyond ASCII stay as they are unless named.
  EXPECT_EQ(TextVal(L"\u00e9\u20ac").render(TextVal::kEncodePercent), L"\u00e9\u20ac");
  EXPECT_EQ(TextVal(L"x\u00e9").render(TextVal::kEncodePercent, L"\u00e9"), L"x%C3%A9");
}

TEST(TextValRender, PercentEncodingANamedCharacterLeavesItsByteSharersIntact) {
  // U+00E3 and U+00E9 share the lead byte 0xC3; only the named one is encoded.
  EXPECT_EQ(TextVal(L"\u00e3\u00e9/").render(TextVal::kEncodePercent, L"\u00e9/"),
            L"\u00e3%C3%A9%2F");
}

TEST(TextVal, ClassifyExtension) {
  for (const wchar_t* html : {L"htm", L".html", L"HTML", L".HtM"}) {
    EXPECT_EQ(&TextVal::classifyExtension(html), &TextVal::kHtmlPolicy) << html;
  }
  for (const wchar_t* xml : {L"xml", L".rss", L"RDF", L".Atom"}) {
    EXPECT_EQ(&TextVal::classifyExtension(xml), &TextVal::kXmlPolicy) << xml;
  }
  for (const wchar_t* other : {L"", L".", L"txt", L"..html", L"html5", L"xhtml"}) {
    EXPECT_EQ(&TextVal::classifyExtension(other), &TextVal::kDefaultPolicy) << other;
  }
}

TEST(TextVal, PoliciesGiveEachKindItsEncoding) {
  EXPECT_EQ(TextVal::kHtmlPolicy.encodingFor(TextVal::kText), TextVal::kEncodeSgml);
  EXPECT_EQ(TextVal::kHtmlPolicy.encodingFor(TextVal::kHtml), TextVal::kEncodeNone);
  EXPECT_EQ(TextVal::kHtmlPolicy.encodingFor(TextVal::kUnknown), TextVal::kEncodeNone);
  EXPECT_EQ(TextVal::kXmlPolicy.encodingFor(TextVal::kHtml), TextVal::kEncodeSgml);
  EXPECT_EQ(TextVal::kXmlPolicy.encodingFor(TextVal::kUnknown), TextVal::kEncodeSgml);
  EXPECT_EQ(TextVal::kDefaultPolicy.encodingFor(TextVal::kText), TextVal::kEncodeNone);
  // Kinds outside the table are never indexed past it.
  EXPECT_EQ(TextVal::kXmlPolicy.encodingFor(3), TextVal::kEncodeNone);
  EXPECT_EQ(TextVal::kXmlPolicy.encodingFor(-1), TextVal::kEncodeNone);
}

}  // namespace
}  // namespace tools
