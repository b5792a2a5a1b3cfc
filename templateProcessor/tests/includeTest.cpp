// INCLUDE and the file entry points, on real file trees.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "lib/misc/src/wruntimeError.h"
#include "lib/misc/tests/thrownMessage.h"
#include "templateProcessor/src/templateProcessor.h"
#include "templateProcessor/tests/templateTestSupport.h"

namespace templateProcessor {
namespace {

using misc::test::thrownMessage;
using testing::expand;
using testing::TempTree;
using tools::TextVal;

std::wstring expandFile(TemplateProcessor& p, const std::wstring& path,
                        const tools::RenderPolicy* table = nullptr) {
  std::wostringstream out;
  p.processFileToStream(path, out, table);
  return out.str();
}

std::size_t count(const std::wstring& text, const std::wstring& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(TemplateInclude, NestedIncludesSeeTheirOwnBaseDirAndArguments) {
  TempTree tree;
  tree.write(L"main.tpl", "A{%INCLUDE% sub/part.tpl title=\"T 1\"}B{%title%}|{%BASE-DIR%}");
  tree.write(L"sub/part.tpl", "[{%title%}|{%BASE-DIR%}|{%INCLUDE% deeper/leaf.tpl}|{%BASE-DIR%}]");
  tree.write(L"sub/deeper/leaf.tpl", "leaf:{%BASE-DIR%}");
  TemplateProcessor p;
  const std::wstring root = tree.path();
  EXPECT_EQ(expandFile(p, tree.path(L"main.tpl")), L"A[T 1|" + root + L"/sub|leaf:" + root +
                                                       L"/sub/deeper|" + root +
                                                       L"/sub]B{%title%}|" + root);
  EXPECT_EQ(p.getParameter(L"BASE-DIR").value(), root);
}

TEST(TemplateInclude, BindingsAreUndoneButOtherChangesStay) {
  TempTree tree;
  tree.write(L"part.tpl", "({%x%}{%UNDEFINE% x y}{%x%}{%y%})");
  TemplateProcessor p;
  p.setParameter(L"BASE-DIR", tree.path());
  p.setParameter(L"x", L"outer");
  p.setParameter(L"y", L"why");
  EXPECT_EQ(expand(p, L"{%INCLUDE% part.tpl X=inner}{%x%}{%y%}"), L"(inner{%x%}{%y%})outer{%y%}");
  EXPECT_EQ(p.getParameter(L"BASE-DIR").value(), tree.path());

  TemplateProcessor fresh;
  fresh.setParameter(L"BASE-DIR", tree.path());
  EXPECT_EQ(expand(fresh, L"{%INCLUDE% part.tpl x=inner}{%x%}"), L"(inner{%x%}{%y%}){%x%}");
  EXPECT_EQ(fresh.parameters().count(L"x"), 0u);
}

TEST(TemplateInclude, AFileIncludingItselfIsCaughtAtTheInnerInclude) {
  TempTree tree;
  tree.write(L"self.tpl", "x{%INCLUDE% self.tpl}y");
  TemplateProcessor p;
  const std::wstring message = L"Recursive include file: " + tree.path(L"self.tpl");
  EXPECT_EQ(expandFile(p, tree.path(L"self.tpl")), L"xx" + message + L"yy");
  p.setParameter(L"BASE-DIR", tree.path());
  EXPECT_EQ(expand(p, L"<{%INCLUDE% self.tpl}>"), L"<x" + message + L"y>");
}

TEST(TemplateInclude, OneFileSpelledManyWaysIsStillRecursion) {
  TempTree tree;
  tree.write(L"loop.tpl", "L{%INCLUDE% ./loop.tpl}");
  tree.write(L"a/ping.tpl", "P{%INCLUDE% ../b/pong.tpl}");
  tree.write(L"b/pong.tpl", "Q{%INCLUDE% ../a/./ping.tpl}");
  TemplateProcessor p;
  const std::wstring loop = expandFile(p, tree.path(L"loop.tpl"));
  EXPECT_EQ(count(loop, L"Recursive include file: "), 1u) << loop;
  EXPECT_EQ(loop.substr(0, 2), L"LL");

  const std::wstring pingPong = expandFile(p, tree.path(L"a/ping.tpl"));
  EXPECT_EQ(count(pingPong, L"Recursive include file: "), 1u) << pingPong;
  EXPECT_EQ(pingPong.substr(0, 3), L"PQP");  // the outermost file is not an include
}

TEST(TemplateInclude, FanOutStopsTheRunPastTheIncludeBudget) {
  // Each file includes the next twice: 14 small files ask for 2^14 - 1 includes.
  TempTree tree;
  constexpr int kFiles = 14;
  for (int i = 0; i < kFiles; ++i) {
    const std::string next = "{%INCLUDE% f" + std::to_string(i + 1) + ".tpl}";
    tree.write(L"f" + std::to_wstring(i) + L".tpl", i + 1 < kFiles ? next + next : "x");
  }
  tree.write(L"main.tpl", "{%INCLUDE% f0.tpl}after");
  TemplateProcessor p;
  const std::wstring out = expandFile(p, tree.path(L"main.tpl"));
  const std::size_t leaves = out.find_first_not_of(L'x');
  EXPECT_GT(leaves, TemplateProcessor::kMaxIncludes / 4);
  EXPECT_EQ(out.substr(leaves), L"The template includes more than " +
                                    std::to_wstring(TemplateProcessor::kMaxIncludes) +
                                    L" files; its expansion stopped.");
  EXPECT_EQ(expandFile(p, tree.path(L"main.tpl")), out);  // each run has the whole budget
}

TEST(TemplateInclude, MissingFilesAndOptionalIncludes) {
  TempTree tree;
  tree.write(L"dir/file.tpl", "f");
  TemplateProcessor p;
  p.setParameter(L"BASE-DIR", tree.path());
  EXPECT_EQ(expand(p, L"[{%INCLUDE% missing.tpl}]"),
            L"[Can't open include file: " + tree.path(L"missing.tpl") + L"]");
  EXPECT_EQ(expand(p, L"[{%INCLUDE% missing.tpl ISOPTIONAL}]"), L"[]");
  EXPECT_EQ(expand(p, L"[{%INCLUDE% dir}]"),
            L"[Can't open include file: " + tree.path(L"dir") + L"]");
  EXPECT_EQ(expand(p, L"[{%INCLUDE% dir/file.tpl isOptional}]"), L"[f]");

  TemplateProcessor noBase;  // devices would never end
  EXPECT_EQ(expand(noBase, L"[{%INCLUDE% /dev/zero}]"), L"[Can't open include file: /dev/zero]");
}

TEST(TemplateInclude, WithoutBaseDirPathsAreTakenAsGiven) {
  TempTree tree;
  tree.write(L"abs.tpl", "abs{%INCLUDE% rel.tpl}");
  tree.write(L"rel.tpl", "+rel");
  TemplateProcessor p;
  EXPECT_EQ(expand(p, L"{%INCLUDE% " + tree.path(L"abs.tpl") + L"}"), L"abs+rel");
}

TEST(TemplateInclude, AnAbsolutePathIgnoresBaseDir) {
  TempTree tree;
  tree.write(L"sub/main.tpl", misc::toUtf8(L"<{%INCLUDE% " + tree.path(L"shared.tpl") + L"}>"));
  tree.write(L"shared.tpl", "shared");
  tree.write(L"sub/" + tree.path(L"shared.tpl").substr(1), "wrong file");
  TemplateProcessor p;
  EXPECT_EQ(expandFile(p, tree.path(L"sub/main.tpl")), L"<shared>");
}

TEST(TemplateFiles, ProcessFileToFileEncodesForTheOutputExtension) {
  TempTree tree;
  tree.write(L"page.tpl", "<p>{%t%}</p>{%h%}");
  TemplateProcessor p;
  p.setParameter(L"t", L"a<b&c");
  p.setHtmlParameter(L"h", L"<br>");
  p.processFileToFile(tree.path(L"page.tpl"), tree.path(L"page.HTML"));
  EXPECT_EQ(tree.read(L"page.HTML"), "<p>a&lt;b&amp;c</p><br>");
  p.processFileToFile(tree.path(L"page.tpl"), tree.path(L"feed.rss"));
  EXPECT_EQ(tree.read(L"feed.rss"), "<p>a&lt;b&amp;c</p>&lt;br>");
  p.processFileToFile(tree.path(L"page.tpl"), tree.path(L"plain.txt"));
  EXPECT_EQ(tree.read(L"plain.txt"), "<p>a<b&c</p><br>");
}

TEST(TemplateFiles, BytesPassThroughAndUtf8FlagWritesValuesAsUtf8) {
  TempTree tree;
  tree.write(L"t.tpl", "\xC3\xBC {%v%} \xFF");
  TemplateProcessor p(TemplateProcessor::kUtf8Output);
  p.setParameter(L"v", L"\u00e9\u20ac");
  p.processFileToFile(tree.path(L"t.tpl"), tree.path(L"out.txt"));
  EXPECT_EQ(tree.read(L"out.txt"), "\xC3\xBC \xC3\xA9\xE2\x82\xAC \xFF");
}

TEST(TemplateFiles, ACharacterWithoutAByteIsAWriteError) {
  TempTree tree;
  tree.write(L"t.tpl", "{%v%}");
  TemplateProcessor p;
  p.setParameter(L"v", L"\u20ac");
  EXPECT_EQ(thrownMessage([&] { p.processFileToFile(tree.path(L"t.tpl"), tree.path(L"out.txt")); }),
            L"Can't write output file: " + tree.path(L"out.txt"));
}

TEST(TemplateFiles, FilesThatCannotBeOpened) {
  TempTree tree;
  tree.write(L"t.tpl", "x");
  TemplateProcessor p;
  EXPECT_EQ(
      thrownMessage([&] { p.processFileToFile(tree.path(L"none.tpl"), tree.path(L"out.txt")); }),
      L"Can't open template file: " + tree.path(L"none.tpl"));
  EXPECT_FALSE(tree.exists(L"out.txt"));
  EXPECT_EQ(thrownMessage([&] {
              p.processFileToFile(tree.path(L"t.tpl"), tree.path(L"no/such/dir/out.txt"));
            }),
            L"Can't open output file: " + tree.path(L"no/such/dir/out.txt"));

  std::wostringstream out;
  EXPECT_THROW(p.processFileToStream(tree.path(L"none.tpl"), out, nullptr), misc::wruntime_error);
  EXPECT_TRUE(out.str().empty());
}

TEST(TemplateFiles, ProcessToFileTakesAnyInput) {
  TempTree tree;
  tree.write(L"inc.tpl", "inc");
  TemplateProcessor p;
  p.setParameter(L"BASE-DIR", tree.path());
  p.setParameter(L"t", L"<");
  std::wistringstream input(L"{%t%}{%INCLUDE% inc.tpl}");
  p.processToFile(input, tree.path(L"out.xml"));
  EXPECT_EQ(tree.read(L"out.xml"), "&lt;inc");
}

}  // namespace
}  // namespace templateProcessor
