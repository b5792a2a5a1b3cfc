#include "templateProcessor/src/templateProcessor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "templateProcessor/src/globalParameters.h"
#include "templateProcessor/tests/templateTestSupport.h"

namespace templateProcessor {
namespace {

using testing::expand;
using tools::TextVal;

// Repeat sources: "three" has three items, "two" two, "one" one, "none" none.
template <int kItems>
bool items(TemplateProcessor&, int index) {
  return index <= kItems;
}
bool noItems(TemplateProcessor&, int) {
  return false;
}
const RepeatSource kSources[] = {{L"three", items<3>},
                                 {L"two", items<2>},
                                 {L"one", items<1>},
                                 {L"none", noItems},
                                 {nullptr, nullptr}};

// Functions: ECHO-ARG yields its argument "x" as html; NEVER always declines.
bool echoArg(TemplateProcessor&, const ParamArgs& args, TextVal& out) {
  out.set(args.namedOr(L"x", L"(none)"), TextVal::kHtml);
  return true;
}
bool never(TemplateProcessor&, const ParamArgs&, TextVal&) {
  return false;
}
const FunctionEntry kFunctions[] = {{L"Echo-Arg", echoArg}, {L"NEVER", never}, {nullptr, nullptr}};

TEST(TemplateSyntax, TextOutsideDirectivesIsCopied) {
  TemplateProcessor p;
  EXPECT_EQ(expand(p, L"a{b}%c 100% {x"), L"a{b}%c 100% {x");
  EXPECT_EQ(expand(p, L"end{"), L"end{");
  EXPECT_EQ(expand(p, L""), L"");
  EXPECT_EQ(expand(p, L"{{%x% default=1}}"), L"{1}");
}

TEST(TemplateSyntax, UnknownParametersAreEchoedWithoutArguments) {
  TemplateProcessor p;
  EXPECT_EQ(expand(p, L"[{%UNKNOWN%}]"), L"[{%UNKNOWN%}]");
  EXPECT_EQ(expand(p, L"[{%UNKNOWN% x=1 y}]"), L"[{%UNKNOWN%}]");
  EXPECT_EQ(expand(p, L"[{%UNKNOWN% default=-}]"), L"[-]");
  EXPECT_EQ(expand(p, L"[{%U% default=\"a}b\"}]"), L"[a}b]");
  EXPECT_EQ(expand(p, L"{%ELSE%}{%ENDIF%}{%/REPEAT%}"), L"{%ELSE%}{%ENDIF%}{%/REPEAT%}");

  TemplateProcessor quiet(TemplateProcessor::kDropUnknown);
  EXPECT_EQ(expand(quiet, L"[{%UNKNOWN%}]"), L"[]");
  EXPECT_EQ(expand(quiet, L"[{%UNKNOWN% default=-}]"), L"[-]");
}

TEST(TemplateSyntax, InputEndingInsideADirective) {
  TemplateProcessor p;
  p.setParameter(L"NAME", L"v");
  EXPECT_EQ(expand(p, L"ab{%NAME"), L"ab");
  EXPECT_EQ(expand(p, L"ab{%"), L"ab");
  EXPECT_EQ(expand(p, L"ab{%NAME% default=x"), L"abv");
}

TEST(TemplateParameters, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  TemplateProcessor p;
  p.setParameter(L"Title", L"T");
  p.setParameter(L"TITLE", L"U");
  EXPECT_EQ(expand(p, L"{%title%}{%TiTlE%}"), L"UU");
  ASSERT_EQ(p.parameters().size(), 1u);
  EXPECT_EQ(p.parameters().begin()->first, L"Title");
  p.removeParameter(L"title");
  EXPECT_TRUE(p.parameters().empty());
}

TEST(TemplateParameters, GetParameterAddsMissingNames) {
  TemplateProcessor p;
  EXPECT_TRUE(p.getParameter(L"new").isEmpty());
  EXPECT_EQ(p.parameters().count(L"NEW"), 1u);
  EXPECT_EQ(expand(p, L"[{%new%}]{%?new%}y{%ELSE%}n{%ENDIF%}"), L"[]n");
  p.setHtmlParameter(L"h", L"<b>");
  EXPECT_EQ(p.getParameter(L"H").type(), TextVal::kHtml);
}

TEST(TemplateParameters, LookupOrderOwnUserDefinedGlobalThenGlobal) {
  setGlobalParameter(L"shared", TextVal(L"global"));
  TemplateProcessor p;
  EXPECT_EQ(expand(p, L"{%SHARED%}"), L"global");
  setUserDefinedGlobalParameter(L"Shared", TextVal(L"user"));
  EXPECT_EQ(expand(p, L"{%shared%}"), L"user");
  p.setParameter(L"shared", L"own");
  EXPECT_EQ(expand(p, L"{%shared%}"), L"own");
  removeUserDefinedGlobalParameter(L"shared");
  removeGlobalParameter(L"SHARED");
  p.removeParameter(L"shared");
  EXPECT_EQ(expand(p, L"{%shared%}"), L"{%shared%}");
}

TEST(TemplateParameters, FunctionsComeAfterParameters) {
  TemplateProcessor p;
  p.setFunctionTable(kFunctions);
  EXPECT_EQ(expand(p, L"[{%echo-arg% x=<i>}]"), L"[<i>]");
  EXPECT_EQ(expand(p, L"[{%NEVER% default=d}][{%never%}]"), L"[d][{%never%}]");
  p.setParameter(L"ECHO-ARG", L"param");
  EXPECT_EQ(expand(p, L"{%echo-arg% x=1}"), L"param");
  p.setFunctionTable(nullptr);
  p.removeParameter(L"echo-arg");
  EXPECT_EQ(expand(p, L"{%echo-arg% x=1}"), L"{%echo-arg%}");
}

TEST(TemplateParameters, ValueKindNameReportsTheKindOfAFunctionResult) {
  TemplateProcessor p;
  TextVal out;
  ParamArgs args;
  ASSERT_TRUE(p.valueKindName(echoArg, args, out));
  EXPECT_EQ(out.value(), L"html");
  const auto unknownKind = [](TemplateProcessor&, const ParamArgs&, TextVal& v) {
    v.set(L"x", TextVal::kUnknown);
    return true;
  };
  args.setNamed(L"mode", L"other");
  ASSERT_TRUE(p.valueKindName(unknownKind, args, out));
  EXPECT_EQ(out.value(), L"html");  // content type names know only text and html
  args.setNamed(L"MODE", L"ATOM10");
  ASSERT_TRUE(p.valueKindName(unknownKind, args, out));
  EXPECT_EQ(out.value(), L"unknown");
  EXPECT_FALSE(p.valueKindName(never, args, out));
}

TEST(TemplateFunctions, UndefineRemovesOwnParametersOnly) {
  setGlobalParameter(L"g", TextVal(L"G"));
  TemplateProcessor p;
  p.setParameter(L"a", L"A");
  p.setParameter(L"b", L"B");
  EXPECT_EQ(expand(p, L"{%a%}{%UNDEFINE% A b g missing}{%a%}{%b%}{%g%}"), L"A{%a%}{%b%}G");
  EXPECT_TRUE(p.parameters().empty());
  removeGlobalParameter(L"g");
}

TEST(TemplateFunctions, OwnParametersHideBuiltInFunctions) {
  TemplateProcessor p;
  p.setParameter(L"undefine", L"u");
  p.setParameter(L"a", L"A");
  EXPECT_EQ(expand(p, L"{%UNDEFINE% a}{%a%}"), L"uA");
}

TEST(TemplateFunctions, RemoveLinkWhitespaceSwitchesTheFlag) {
  TemplateProcessor p;
  EXPECT_EQ(expand(p,
                   L"{%REMOVE-LINK-WHITESPACE% on}<a href=x>  Home  </a> <b> x </b>"
                   L"{%remove-link-whitespace% OFF}<a> y </a>"),
            L"<a href=x>Home</a> <b> x </b><a> y </a>");
  EXPECT_FALSE(p.getFlags() & TemplateProcessor::kRemoveLinkWhitespace);
  EXPECT_EQ(expand(p, L"{%REMOVE-LINK-WHITESPACE%}{%REMOVE-LINK-WHITESPACE% maybe}"),
            L"{%REMOVE-LINK-WHITESPACE%}{%REMOVE-LINK-WHITESPACE%}");
}

TEST(TemplateFunctions, SwitchingLinkWhitespaceOffReleasesHeldText) {
  TemplateProcessor p;
  EXPECT_EQ(expand(p, L"{%REMOVE-LINK-WHITESPACE% on}<a> x {%REMOVE-LINK-WHITESPACE% off} y</a>"),
            L"<a>x  y</a>");
  TemplateProcessor on(TemplateProcessor::kRemoveLinkWhitespace);
  EXPECT_EQ(expand(on, L"<a>  unfinished "), L"<a>unfinished ");
}

TEST(TemplateConditionals, ThenAndElse) {
  TemplateProcessor p;
  const std::wstring t = L"{%?P%}yes{%ELSE%}no{%ENDIF%}|{%!P%}none{%ENDIF%}";
  EXPECT_EQ(expand(p, t), L"no|none");
  p.setParameter(L"P", L"");
  EXPECT_EQ(expand(p, t), L"no|none");
  p.setParameter(L"p", L"x");
  EXPECT_EQ(expand(p, t), L"yes|");
  EXPECT_EQ(expand(p, L"{%!P%}a{%ELSE%}b{%ENDIF%}"), L"b");
  EXPECT_EQ(expand(p, L"{%?p%}a{%endif%}b{%Else%}c"), L"ab{%Else%}c");
}

TEST(TemplateConditionals, NestedBlocksStayInsideTheirParent) {
  TemplateProcessor p;
  const std::wstring t =
      L"{%?P%}a{%?Q%}q{%ELSE%}nq{%ENDIF%}{%!Q%}!{%ENDIF%}c{%ELSE%}d{%?Q%}x{%ENDIF%}e{%ENDIF%}f";
  EXPECT_EQ(expand(p, t), L"def");
  p.setParameter(L"P", L"1");
  EXPECT_EQ(expand(p, t), L"anq!cf");
  p.setParameter(L"Q", L"1");
  EXPECT_EQ(expand(p, t), L"aqcf");
}

TEST(TemplateConditionals, AtIsTheTestedValueWhileTheBlockRuns) {
  TemplateProcessor p;
  p.setParameter(L"P", L"v");
  EXPECT_EQ(expand(p, L"{%?P%}[{%@%}]{%ENDIF%}{%@%}"), L"[v]{%@%}");
  EXPECT_EQ(expand(p, L"{%?X%}{%ELSE%}[{%@%}]{%ENDIF%}"), L"[]");
  p.setParameter(L"@", L"old");
  EXPECT_EQ(expand(p, L"{%?P%}[{%@%}]{%ENDIF%}{%@%}"), L"[v]old");
  EXPECT_EQ(expand(p, L"{%!X%}[{%@%}]{%ENDIF%}"), L"[old]");  // no binding for '!'
  p.removeParameter(L"@");

  // The binding keeps the value's kind, so it is encoded as the value would be.
  p.setHtmlParameter(L"H", L"<b>");
  p.setParameter(L"T", L"<b>");
  EXPECT_EQ(expand(p, L"{%?H%}{%@%}{%ENDIF%} {%?T%}{%@%}{%ENDIF%}", &TextVal::kHtmlPolicy),
            L"<b> &lt;b>");
}

TEST(TemplateConditionals, NestingBeyondTheLimitIsReportedNotFollowed) {
  TemplateProcessor p;
  p.setParameter(L"P", L"1");
  const auto nested = [](int depth) {
    std::wstring t;
    for (int i = 0; i < depth; ++i) t += L"{%?P%}";
    t += L"x";
    for (int i = 0; i < depth; ++i) t += L"{%ENDIF%}";
    return t + L"!";
  };
  EXPECT_EQ(expand(p, nested(TemplateProcessor::kMaxNesting)), L"x!");
  EXPECT_EQ(expand(p, nested(TemplateProcessor::kMaxNesting + 1)),
            L"Template blocks are nested too deeply.!");
  EXPECT_EQ(expand(p, nested(1000)), L"Template blocks are nested too deeply.!");
}

// Records the heap in use whenever a block looks up PROBE.
class HeapProbe : public TemplateProcessor {
 public:
  bool getParameterValue(const std::wstring& name, const ParamArgs& args, TextVal& out) override {
    if (name == L"PROBE") peak = std::max(peak, testing::heapInUse());
    return TemplateProcessor::getParameterValue(name, args, out);
  }
  std::size_t peak = 0;
};

TEST(TemplateConditionals, DeepBlocksHoldOneCopyOfTheirBody) {
  // Blocks of every kind, nested as deep as allowed, taking then-parts, else-parts and a
  // one-item repeat in turn, around a large body.
  const std::wstring body(200'000, L'b');
  const std::wstring opens[] = {L"{%?P%}", L"{%!P%}y{%ELSE%}", L"{%REPEAT% one}"};
  const std::wstring closes[] = {L"{%ELSE%}x{%ENDIF%}", L"{%ENDIF%}", L"{%/REPEAT%}"};
  std::wstring t;
  for (int i = 0; i < TemplateProcessor::kMaxNesting; ++i) t += opens[i % 3];
  t += L"{%PROBE% default=}" + body;
  for (int i = TemplateProcessor::kMaxNesting - 1; i >= 0; --i) t += closes[i % 3];

  HeapProbe p;
  p.setRepeatSources(kSources);
  p.setParameter(L"P", L"1");
  std::wistringstream input(t);
  std::wostringstream output;
  const std::size_t before = testing::heapInUse();
  p.process(input, output);
  EXPECT_EQ(output.str(), body);
  // One copy of the outer block, with room to grow; not one per level.
  EXPECT_LT(p.peak - before, 4 * t.size() * sizeof(wchar_t));
}

TEST(TemplateRepeat, ItemsHeaderAndFooter) {
  TemplateProcessor p;
  p.setRepeatSources(kSources);
  EXPECT_EQ(expand(p,
                   L"{%REPEAT% three header=\"<ul>{%X%}\" footer=\"</ul>\"}"
                   L"<li>{%REPEAT-NUMBER%}</li>{%/REPEAT%}."),
            L"<ul>{%X%}<li>1</li><li>2</li><li>3</li></ul>.");
  EXPECT_EQ(expand(p, L"[{%REPEAT% none header=h footer=f}x{%/REPEAT%}]"), L"[]");
  EXPECT_EQ(expand(p, L"[{%REPEAT% unknown header=h}x{%/REPEAT%}]"), L"[]");
  EXPECT_EQ(expand(p, L"{%repeat% two}ab{%/Repeat%}|{%REPEAT-NUMBER%}"), L"abab|{%REPEAT-NUMBER%}");
  EXPECT_EQ(expand(p, L"{%REPEAT% two}ab"), L"abab");

  TemplateProcessor withoutSources;
  EXPECT_EQ(expand(withoutSources, L"[{%REPEAT% three header=h}x{%/REPEAT%}]"), L"[]");
}

TEST(TemplateRepeat, NestedBlocksRestoreTheOuterNumber) {
  TemplateProcessor p;
  p.setRepeatSources(kSources);
  p.setParameter(L"REPEAT-NUMBER", L"before");
  EXPECT_EQ(expand(p,
                   L"{%REPEAT% two}[{%REPEAT% three}{%REPEAT-NUMBER%}{%/REPEAT%}"
                   L"/{%REPEAT-NUMBER%}]{%/REPEAT%}{%REPEAT-NUMBER%}"),
            L"[123/1][123/2]before");
}

// Records what the processor tells its repeat hooks.
class RecordingProcessor : public TemplateProcessor {
 public:
  bool hasRepeatItem(const std::wstring& name, int index) override {
    stacks.push_back(getRepeatStack());
    return TemplateProcessor::hasRepeatItem(name, index);
  }
  void endRepeatItem(const std::wstring& name, int index) override {
    ended.push_back(name + L":" + std::to_wstring(index));
  }
  std::vector<std::vector<std::wstring>> stacks;
  std::vector<std::wstring> ended;
};

TEST(TemplateRepeat, HooksSeeTheStackOfOpenBlocks) {
  RecordingProcessor p;
  p.setRepeatSources(kSources);
  expand(p, L"{%REPEAT% two}{%REPEAT% none}{%/REPEAT%}{%/REPEAT%}");
  using V = std::vector<std::wstring>;
  EXPECT_THAT(p.stacks, ::testing::ElementsAre(V{L"two"}, V{L"two", L"none"}, V{L"two"},
                                               V{L"two", L"none"}, V{L"two"}));
  EXPECT_THAT(p.ended, ::testing::ElementsAre(L"two:1", L"two:2"));
  EXPECT_TRUE(p.getRepeatStack().empty());
}

TEST(TemplateEncoding, TablesByKind) {
  TemplateProcessor p;
  p.setParameter(L"t", L"a<b&c>");
  p.setHtmlParameter(L"h", L"<i>&</i>");
  const std::wstring t = L"{%t%}|{%h%}";
  EXPECT_EQ(expand(p, t), L"a<b&c>|<i>&</i>");
  EXPECT_EQ(expand(p, t, &TextVal::kDefaultPolicy), L"a<b&c>|<i>&</i>");
  EXPECT_EQ(expand(p, t, &TextVal::kHtmlPolicy), L"a&lt;b&amp;c>|<i>&</i>");
  EXPECT_EQ(expand(p, t, &TextVal::kXmlPolicy), L"a&lt;b&amp;c>|&lt;i>&amp;&lt;/i>");

  setGlobalParameter(L"odd", TextVal(L"<", 9));  // kinds beyond the table are not encoded
  EXPECT_EQ(expand(p, L"{%odd%}", &TextVal::kXmlPolicy), L"<");
  removeGlobalParameter(L"odd");
}

TEST(TemplateEncoding, ArgumentsOverrideTheTable) {
  TemplateProcessor p;
  p.setParameter(L"t", L"a\"b<c/d e%");
  EXPECT_EQ(expand(p, L"{%t% encode=none}", &TextVal::kXmlPolicy), L"a\"b<c/d e%");
  EXPECT_EQ(expand(p, L"{%t% encode=SGML}"), L"a\"b&lt;c/d e%");
  EXPECT_EQ(expand(p, L"{%t% encode=sgml chars=x}"), L"a\"b<c/d e%");
  EXPECT_EQ(expand(p, L"{%t% encode=sgml chars=\"\\\"/\"}"), L"a&quot;b<c&#47;d e%");
  EXPECT_EQ(expand(p, L"{%t% encode=percent chars=/}"), L"a\"b<c%2Fd e%25");
  EXPECT_EQ(expand(p, L"{%t% encode=Percent}"), L"a\"b<c/d e%25");
  EXPECT_EQ(expand(p, L"{%t% encode=rot13}", &TextVal::kHtmlPolicy), L"a\"b&lt;c/d e%");
  // chars= alone changes nothing when the mode encodes nothing.
  EXPECT_EQ(expand(p, L"{%t% chars=a}"), L"a\"b<c/d e%");
}

TEST(TemplateOutput, Utf8FlagConvertsStringsButNotTemplateText) {
  TemplateProcessor p(TemplateProcessor::kUtf8Output);
  p.setParameter(L"v", L"\u00e9\u20ac");
  EXPECT_EQ(expand(p, L"\u00fc{%v%}{%x% default=\u00e9}"),
            L"\u00fc\u00c3\u00a9\u00e2\u0082\u00ac\u00c3\u00a9");
}

TEST(TemplateOutput, DumpParametersListsEveryMap) {
  setUserDefinedGlobalParameter(L"u", TextVal(L"1"));
  setGlobalParameter(L"g", TextVal(L"2"));
  TemplateProcessor p;
  p.setParameter(L"b", L"say \"x\"");
  p.setParameter(L"A", L"");
  std::wostringstream out;
  p.dumpParameters(out, 2);
  EXPECT_EQ(out.str(),
            L"  --- USER-DEFINED GLOBAL PARAMETERS ---\n"
            L"    u = \"1\"\n"
            L"  --- GLOBAL PARAMETERS ---\n"
            L"    g = \"2\"\n"
            L"  --- TEMPLATE PARAMETERS ---\n"
            L"    A = \"\"\n"
            L"    b = \"say \"x\"\"\n");
  removeUserDefinedGlobalParameter(L"u");
  removeGlobalParameter(L"g");
}

// Counts the characters written and keeps the last of them.
class TailBuffer : public std::wstreambuf {
 public:
  std::size_t count = 0;
  std::wstring tail;

 protected:
  std::streamsize xsputn(const wchar_t* text, std::streamsize size) override {
    const std::wstring_view chars(text, static_cast<std::size_t>(size));
    count += chars.size();
    tail += chars.substr(chars.size() - std::min(chars.size(), kKept));
    if (tail.size() > kKept) tail.erase(0, tail.size() - kKept);
    return size;
  }
  int_type overflow(int_type c) override {
    const wchar_t ch = traits_type::to_char_type(c);
    return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
  }

 private:
  static constexpr std::size_t kKept = 256;
};

constexpr std::size_t kBigValue = std::size_t{1} << 20;
bool pastTheOutputBudget(TemplateProcessor&, int index) {
  return static_cast<std::size_t>(index) <= TemplateProcessor::kMaxOutputChars / kBigValue + 8;
}
const RepeatSource kPastTheBudget[] = {{L"many", pastTheOutputBudget}, {nullptr, nullptr}};

TEST(TemplateOutput, ARunStopsPastItsOutputBudget) {
  TemplateProcessor p;
  p.setRepeatSources(kPastTheBudget);
  p.setParameter(L"big", std::wstring(kBigValue, L'v'));
  const std::wstring notice = L"The template writes more than " +
                              std::to_wstring(TemplateProcessor::kMaxOutputChars) +
                              L" characters; its expansion stopped.";
  for (int run = 0; run < 2; ++run) {  // each run has the whole budget
    TailBuffer buffer;
    std::wostream out(&buffer);
    std::wistringstream input(L"{%REPEAT% many footer=F}{%big%}{%/REPEAT%}after");
    p.process(input, out);
    EXPECT_GT(buffer.count, TemplateProcessor::kMaxOutputChars);
    EXPECT_LE(buffer.count, TemplateProcessor::kMaxOutputChars + kBigValue + notice.size());
    EXPECT_TRUE(buffer.tail.ends_with(L"v" + notice)) << misc::toUtf8(buffer.tail);
  }
}

TEST(TemplateOutput, AProcessorCanRunAgain) {
  TemplateProcessor p;
  p.setRepeatSources(kSources);
  const std::wstring t = L"{%REPEAT% two}{%REPEAT-NUMBER%}{%/REPEAT%}";
  EXPECT_EQ(expand(p, t), L"12");
  p.setParameter(L"x", L"1");
  EXPECT_EQ(expand(p, t + L"{%x%}"), L"121");
}

}  // namespace
}  // namespace templateProcessor
