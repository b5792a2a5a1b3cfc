#include "tools/src/commandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tools {
namespace {

using Args = std::vector<std::wstring>;

Args split(const std::wstring& line) {
  Args args{L"stale"};
  std::wstring error;
  EXPECT_TRUE(splitCommandLine(line, args, error)) << error;
  return args;
}

std::wstring splitError(const std::wstring& line) {
  Args args{L"stale"};
  std::wstring error;
  EXPECT_FALSE(splitCommandLine(line, args, error)) << line;
  EXPECT_TRUE(args.empty());
  return error;
}

TEST(SplitCommandLine, BlanksSeparateArguments) {
  EXPECT_EQ(split(L"prog a  b\tc\nd"), (Args{L"prog", L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(split(L"  prog  "), (Args{L"prog"}));
}

TEST(SplitCommandLine, SingleQuotesKeepEverything) {
  EXPECT_EQ(split(L"p 'a \"b\" \\c $d'"), (Args{L"p", L"a \"b\" \\c $d"}));
  EXPECT_EQ(split(L"p '' x''y"), (Args{L"p", L"", L"xy"}));
}

TEST(SplitCommandLine, DoubleQuotesEscapeOnlyFiveCharacters) {
  EXPECT_EQ(split(L"p \"a \\\"b\\\" \\\\ \\$ \\` \\n c:\\dir\""),
            (Args{L"p", L"a \"b\" \\ $ ` \\n c:\\dir"}));
  EXPECT_EQ(split(L"p \"\" \"a\"'b'c"), (Args{L"p", L"", L"abc"}));
  EXPECT_EQ(split(L"p \"a\\\nb\""), (Args{L"p", L"ab"}));
}

TEST(SplitCommandLine, BackslashOutsideQuotesMakesTheNextCharacterLiteral) {
  EXPECT_EQ(split(L"p a\\ b \\'c \\\\ \\\"d"), (Args{L"p", L"a b", L"'c", L"\\", L"\"d"}));
  // A backslash-newline joins lines and on its own is no argument.
  EXPECT_EQ(split(L"p a\\\nb \\\n c"), (Args{L"p", L"ab", L"c"}));
}

TEST(SplitCommandLine, NothingIsExpanded) {
  EXPECT_EQ(split(L"p $HOME ~ *.txt >out |x ;y"),
            (Args{L"p", L"$HOME", L"~", L"*.txt", L">out", L"|x", L";y"}));
}

TEST(SplitCommandLine, FaultsAreReported) {
  const std::wstring empty = splitError(L"");
  EXPECT_EQ(empty, L"The command line is empty.");
  EXPECT_EQ(splitError(L" \t\n\\\n"), empty);
  const std::wstring open = L"The command line has a quote without its closing quote.";
  EXPECT_EQ(splitError(L"p 'a"), open);
  EXPECT_EQ(splitError(L"p \"a\\\""), open);
  EXPECT_EQ(splitError(L"p a\\"), L"The command line ends with a backslash.");
}

}  // namespace
}  // namespace tools
