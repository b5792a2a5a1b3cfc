#include "lib/log/src/log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "lib/misc/src/textConversion.h"

namespace {

// A log over a wide string target, as a test fixture.
class LogTest : public testing::Test {
 protected:
  std::wstringstream target;
  CMessageLog log{target.rdbuf(), 0};

  void line(const std::wstring& text, const msgGroup* group = nullptr, const char* file = nullptr,
            int lineNo = 0) {
    log.stream(group, file, lineNo) << text << L'\n';
  }
};

}  // namespace

TEST_F(LogTest, DefaultsWriteBareLines) {
  line(L"first");
  line(L"second");
  EXPECT_EQ(target.str(), L"first\nsecond\n");
  EXPECT_EQ(log.lineCount(), 2u);
}

TEST_F(LogTest, LineNumbersSkipEmptyLines) {
  log.setShowLineNumber(true);
  line(L"a");
  line(L"");
  line(L"b");
  EXPECT_EQ(target.str(), L"000001 | a\n\n000002 | b\n");
}

TEST_F(LogTest, GroupPartAloneAddsNoBar) {
  msgGroup group(L"LogTestGroupPart");
  group.setEnabled(true);
  log.setShowGroup(true);
  line(L"grouped", &group);
  line(L"plain");
  wchar_t expected[64];
  std::swprintf(expected, 64, L"[%03d] grouped\n      plain\n", group.getId());
  EXPECT_EQ(target.str(), expected);
}

TEST_F(LogTest, SourcePartIsPaddedAndLowerCased) {
  log.setShowSource(true);
  line(L"x", nullptr, "/src/lib/LOG.Cpp", 168);
  line(L"y");
  EXPECT_EQ(target.str(), L"     log.cpp:000168 | x\n         ???:   ??? | y\n");
}

TEST_F(LogTest, ThreadDateAndTimePartsHaveTheirForms) {
  log.setShowThreadId(true);
  log.setShowDate(true);
  log.setShowTime(true, true);
  line(L"m");
  const std::string text = misc::toUtf8(target.str());
  EXPECT_TRUE(std::regex_match(
      text, std::regex("[0-3][0-9](jan|feb|mar|apr|may|jun|jul|aug|sep|oct|nov|dec)[0-9]{2} "
                       "[0-2][0-9]:[0-5][0-9]:[0-6][0-9]\\[[0-9]{6}\\] <[0-9a-f]{8}> \\| m\n")))
      << text;
}

TEST_F(LogTest, IndentationFollowsTheBarOrStartsTheLine) {
  log.indent();
  log.indent();
  line(L"deep");
  log.setShowLineNumber(true);
  line(L"numbered");
  log.unindent();
  line(L"less");
  EXPECT_EQ(target.str(), L"    deep\n000002 |     numbered\n000003 |   less\n");
}

TEST_F(LogTest, GroupThatIsOffWritesNothingAndCountsNothing) {
  msgGroup off(L"LogTestOffGroup");
  log.setShowLineNumber(true);
  line(L"hidden", &off);
  line(L"shown");
  EXPECT_EQ(target.str(), L"000001 | shown\n");
}

TEST_F(LogTest, ByteOrderMarkIsWrittenOnceEvenWhenDisabled) {
  log.setTarget(target.rdbuf(), CMessageLog::kByteOrderMark);
  log.setEnabled(false);
  line(L"invisible");
  log.setEnabled(true);
  line(L"visible");
  EXPECT_EQ(target.str(), L"\uFEFFvisible\n");
}

TEST_F(LogTest, CrLfAndUtf8FlagsEncodeEachCharacter) {
  log.setTarget(target.rdbuf(), CMessageLog::kCrLf | CMessageLog::kUtf8Bytes);
  line(L"\u00e9\u20ac");
  std::wstring expected;
  for (unsigned char b : std::string("\xC3\xA9\xE2\x82\xAC\r\n")) expected += wchar_t(b);
  EXPECT_EQ(target.str(), expected);
}

TEST_F(LogTest, RawWriteSuppressesThePrefixInsideIt) {
  log.setShowLineNumber(true);
  std::wostringstream source;
  source << L"raw one\nraw two\n";
  log.stream(nullptr, nullptr, 0);
  log.writeRaw(source);
  line(L"after");
  EXPECT_EQ(target.str(), L"raw one\nraw two\n000003 | after\n");
}

TEST_F(LogTest, EmbeddedLineBreaksGetTheirOwnPrefix) {
  log.setShowLineNumber(true);
  line(L"one\ntwo");
  EXPECT_EQ(target.str(), L"000001 | one\n000002 | two\n");
}

TEST(GlobalLogTest, WritesUtf8ToStandardErrorAndHonoursGroups) {
  msgGroup on(L"GlobalLogOn"), off(L"GlobalLogOff");
  on.setEnabled(true);
  int formatted = 0;
  auto expensive = [&] {
    ++formatted;
    return L"x";
  };
  testing::internal::CaptureStderr();
  PG_LOG(on) << L"caf\u00e9 " << 42;
  PG_LOG(off) << expensive();
  PG_LOG_ALWAYS() << L"warning";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "caf\xC3\xA9 42\nwarning\n");
  EXPECT_EQ(formatted, 0) << "a message of a group that is off is never formatted";
}

TEST(GlobalLogTest, LinesOfDifferentThreadsNeverInterleave) {
  testing::internal::CaptureStderr();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 200; ++i) {
        PG_LOG_ALWAYS() << L"thread" << t << L"-" << std::wstring(20, wchar_t(L'a' + t)) << L"-end";
      }
    });
  }
  for (auto& t : threads) t.join();
  std::istringstream out(testing::internal::GetCapturedStderr());
  const std::regex whole("thread([0-3])-(a{20}|b{20}|c{20}|d{20})-end");
  std::string text;
  int lines = 0;
  while (std::getline(out, text)) {
    ++lines;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, whole)) << text;
    EXPECT_EQ(m[2].str()[0], 'a' + (m[1].str()[0] - '0'));
  }
  EXPECT_EQ(lines, 800);
}

namespace {

// A target that refuses characters while `failing` is set.
class FlakyTarget : public std::wstreambuf {
 public:
  bool failing = false;
  std::wstring text;

 protected:
  int_type overflow(int_type c) override {
    if (failing) return traits_type::eof();
    text += traits_type::to_char_type(c);
    return c;
  }
};

}  // namespace

TEST(GlobalLogTest, AFailedTargetWriteDoesNotSilenceLaterMessages) {
  CMessageLog& log = getMessageLog();
  FlakyTarget target;
  std::wstreambuf* const saved = log.getTarget();
  log.setTarget(&target, 0);
  log.setShowLineNumber(true);
  const std::uint32_t before = log.lineCount();
  target.failing = true;
  PG_LOG_ALWAYS() << L"lost";
  target.failing = false;
  PG_LOG_ALWAYS() << L"kept";
  log.setShowLineNumber(false);
  log.setTarget(saved, 0);
  // The failed line still ended, so the next one starts with its own prefix.
  wchar_t expected[32];
  std::swprintf(expected, 32, L"%06u | kept\n", before + 2);
  EXPECT_EQ(target.text, expected);
}
