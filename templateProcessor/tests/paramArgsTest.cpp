#include "templateProcessor/src/paramArgs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace templateProcessor {
namespace {

using ::testing::ElementsAre;

struct Parsed {
  ParamArgs args;
  std::wstring rest;  // what the parser left in the input
};

Parsed parse(const std::wstring& text) {
  std::wistringstream input(text);
  Parsed parsed{ParamArgs::parse(input), {}};
  parsed.rest.assign(std::istreambuf_iterator<wchar_t>(input), {});
  return parsed;
}

TEST(ParamArgs, NamedAndPositionalInOrder) {
  const Parsed p = parse(L"  a b=c \"d e\" f=\"g h\" }tail");
  EXPECT_THAT(p.args.names(), ElementsAre(L"a", L"b", L"d e", L"f"));
  EXPECT_THAT(p.args.positional(), ElementsAre(L"a", L"d e"));
  EXPECT_EQ(p.args.namedOr(L"b", L"?"), L"c");
  EXPECT_EQ(p.args.namedOr(L"f", L"?"), L"g h");
  EXPECT_EQ(p.args.firstPositional(), L"a");
  EXPECT_EQ(p.rest, L"tail");
}

TEST(ParamArgs, QuotesKeepBlanksEqualsAndBraces) {
  const Parsed p = parse(L"v=\"a = b}c\" rest}after");
  EXPECT_EQ(p.args.namedOr(L"v", L"?"), L"a = b}c");
  EXPECT_THAT(p.args.positional(), ElementsAre(L"rest"));
  EXPECT_EQ(p.rest, L"after");
}

TEST(ParamArgs, BackslashTakesTheNextCharacterLiterally) {
  const Parsed p = parse(L"v=\"say \\\"hi\\\"\" w=a\\ b x\\}y}z");
  EXPECT_EQ(p.args.namedOr(L"v", L"?"), L"say \"hi\"");
  EXPECT_EQ(p.args.namedOr(L"w", L"?"), L"a b");
  EXPECT_THAT(p.args.positional(), ElementsAre(L"x}y"));
  EXPECT_EQ(p.rest, L"z");
}

TEST(ParamArgs, NamesIgnoreCaseAndLaterValuesWin) {
  const Parsed p = parse(L"Mode=1 MODE=2}");
  EXPECT_EQ(p.args.named().size(), 1u);
  EXPECT_EQ(p.args.namedOr(L"mode", L"?"), L"2");
  EXPECT_EQ(p.args.named().begin()->first, L"Mode");  // first spelling kept
  EXPECT_THAT(p.args.names(), ElementsAre(L"Mode", L"MODE"));
  EXPECT_EQ(p.args.findNamed(L"other"), nullptr);
}

TEST(ParamArgs, BlanksAroundEqualsSplitTheTokens) {
  const Parsed spaced = parse(L"a = b}");
  EXPECT_THAT(spaced.args.positional(), ElementsAre(L"a", L"b"));
  EXPECT_TRUE(spaced.args.named().empty());

  const Parsed leading = parse(L"=x}");
  EXPECT_THAT(leading.args.positional(), ElementsAre(L"x"));

  const Parsed emptyValue = parse(L"a= b}");
  EXPECT_EQ(emptyValue.args.namedOr(L"a", L"?"), L"");
  EXPECT_THAT(emptyValue.args.positional(), ElementsAre(L"b"));
}

TEST(ParamArgs, QuotedNamesAreTrimmedAndEmptyTokensSkipped) {
  const Parsed p = parse(L"\" a \"=1 \"\" \"  \"}");
  EXPECT_EQ(p.args.namedOr(L"a", L"?"), L"1");
  EXPECT_TRUE(p.args.positional().empty());
  EXPECT_THAT(p.args.names(), ElementsAre(L"a"));
}

TEST(ParamArgs, EndOfInputEndsTheArguments) {
  EXPECT_THAT(parse(L"a b=\"unterminated").args.names(), ElementsAre(L"a", L"b"));
  EXPECT_EQ(parse(L"b=\"unterminated").args.namedOr(L"b", L"?"), L"unterminated");
  EXPECT_THAT(parse(L"x\\").args.positional(), ElementsAre(L"x"));
  EXPECT_TRUE(parse(L"").args.names().empty());
  EXPECT_TRUE(parse(L"}").args.names().empty());
  EXPECT_EQ(parse(L"}}").rest, L"}");
}

TEST(ParamArgs, PositionalLookupIgnoresCase) {
  const Parsed p = parse(L"file.tpl ISOPTIONAL}");
  EXPECT_TRUE(p.args.hasPositional(L"isOptional"));
  EXPECT_FALSE(p.args.hasPositional(L"isOpt"));
}

}  // namespace
}  // namespace templateProcessor
