#include "platform/src/iniReader.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "testSupport/src/scratchDir.h"

namespace {

platform::IniFile parsed(std::string_view text) {
  platform::IniFile file;
  file.parse(text);
  return file;
}

}  // namespace

TEST(IniReaderTest, NamesIgnoreCaseAndTheFirstSectionAndKeyWin) {
  const auto file = parsed(
      "\xEF\xBB\xBF[Config]\ntype = first\nTYPE=second\n"
      "[config]\nonlyHere=never read\n"
      "[ Strings ]\n10101=  PROGRAM ABORT \t\n");
  EXPECT_EQ(file.value("CONFIG", "Type"), "first");
  EXPECT_EQ(file.value("config", "onlyHere"), std::nullopt) << "a repeated section is not read";
  EXPECT_EQ(file.value("strings", " 10101 "), "PROGRAM ABORT");
  EXPECT_TRUE(file.hasSection("STRINGS"));
  EXPECT_FALSE(file.hasSection("Other"));
  EXPECT_EQ(file.value("Other", "Type"), std::nullopt);
}

TEST(IniReaderTest, LinesThatAreNoEntriesAreSkipped) {
  const auto file = parsed(
      "orphan=before any section\n[S]\r\n; comment=1\nno equals sign\n=no name\n"
      "empty=\nquoted=\"  kept  \"\nsingle='x'\nhalf=\"open\nequals=a=b\n");
  EXPECT_EQ(file.value("S", "; comment"), std::nullopt);
  EXPECT_EQ(file.value("S", "no equals sign"), std::nullopt);
  EXPECT_EQ(file.value("S", ""), "no name");
  EXPECT_EQ(file.value("S", "empty"), "");
  EXPECT_EQ(file.value("S", "quoted"), "  kept  ");
  EXPECT_EQ(file.value("S", "single"), "x");
  EXPECT_EQ(file.value("S", "half"), "\"open");
  EXPECT_EQ(file.value("S", "equals"), "a=b");
  EXPECT_FALSE(parsed("orphan=1\n").hasSection(""));
}

TEST(IniReaderTest, ProfileStringGivesTheDefaultForAnythingAbsentOrEmpty) {
  const testSupport::ScratchDir dir("iniReaderTest");
  const std::string path = dir.file("x.ini");
  testSupport::writeBytes(path, "[S]\nk=v\nempty=\n");
  EXPECT_EQ(platform::privateProfileString("s", "K", "d", path), "v");
  EXPECT_EQ(platform::privateProfileString("S", "empty", "d", path), "d");
  EXPECT_EQ(platform::privateProfileString("S", "none", "d", path), "d");
  EXPECT_EQ(platform::privateProfileString("S", "k", "d", path + ".missing"), "d");
  platform::IniFile file;
  EXPECT_EQ(file.read(path + ".missing"), ENOENT);
  EXPECT_EQ(file.read(dir.path()), EISDIR);
}
